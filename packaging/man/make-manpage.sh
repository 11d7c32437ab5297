#!/bin/sh
# Writes a program's manual page from its own --help, so the page follows the program:
#   make-manpage.sh OUT NAME SUMMARY VERSION EXTRA [--commands] -- PROGRAM [ARGS...]
# SUMMARY is the NAME line's text; EXTRA a roff file appended (FILES, SEE ALSO, ...).
# --commands: the help's "commands:" section is replaced by each command's own --help.
set -eu
out=$1 name=$2 summary=$3 version=$4 extra=$5
shift 5
commands=no
if [ "$1" = --commands ]; then commands=yes; shift; fi
[ "$1" = -- ] && shift
here=$(dirname "$0")
tmp=$out.tmp
errors=$out.err
trap 'rm -f "$tmp" "$errors"' EXIT

# A program's own chatter on stderr (Qt's notes) stays out of the build's log unless it fails.
help_of() {
    "$@" --help 2>"$errors" || { cat "$errors" >&2; echo "make-manpage: $* --help failed" >&2; exit 1; }
}
help=$(help_of "$@")
{
    printf '.TH %s 1 "" "VRNComm %s" "User Commands"\n' "$(echo "$name" | tr a-z A-Z | sed 's/-/\\-/g')" "$version"
    printf '.SH NAME\n%s \\- %s\n' "$(echo "$name" | sed 's/-/\\-/g')" "$summary"
    if [ $commands = yes ]; then
        printf '%s\n' "$help" | awk -v skip=commands -f "$here/help2roff.awk"
        printf '.SH COMMANDS\n'
        # A command's line in the list: two blanks, then its name.
        for command in $(printf '%s\n' "$help" | sed -n '/^commands:$/,$ s/^  \([a-z][a-z0-9-]*\).*/\1/p'); do
            text=$(help_of "$@" "$command")
            printf '%s\n' "$text" | awk -v subsection=1 -f "$here/help2roff.awk"
        done
    else
        printf '%s\n' "$help" | awk -f "$here/help2roff.awk"
    fi
    cat "$extra"
} >"$tmp"
mv "$tmp" "$out"
rm -f "$errors"
trap - EXIT
