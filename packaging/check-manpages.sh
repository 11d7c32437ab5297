#!/bin/sh
# The manual pages say what the programs' --help says: every command of vrncomm-cli has its
# subsection with its example, every option of each program its entry, and groff reads each page
# without warnings.
#   check-manpages.sh MANDIR VRNCOMM-CLI VRNCOMM-SIM
set -u
mandir=$1 cli=$2 sim=$3
failures=0 checks=0
fail() { echo "check-manpages: $*" >&2; failures=$((failures + 1)); }
check() { checks=$((checks + 1)); }

# The options a program's --help lists, one a line: "--port".
options_of() { "$@" --help | sed -n 's/^ \{1,\}\(-[a-z], \)\{0,1\}\(--[a-z][a-z-]*\).*/\2/p'; }
roff_of() { printf '%s' "$1" | sed 's/-/\\-/g'; }

for page in "$mandir"/*.1; do
    [ -f "$page" ] || { fail "no pages in $mandir"; break; }
    for section in NAME SYNOPSIS DESCRIPTION "SEE ALSO"; do
        check
        grep -q -E "^\.SH \"?$section\"?\$" "$page" || fail "$(basename "$page") has no $section section"
    done
    check
    warnings=$(groff -man -Tutf8 -z -ww "$page" 2>&1)
    [ -z "$warnings" ] || fail "groff warns about $(basename "$page"): $warnings"
done

for pair in "vrncomm-cli.1 $cli" "vrncomm-sim.1 $sim"; do
    set -- $pair
    page=$mandir/$1
    for option in $(options_of "$2"); do
        check
        grep -q -F -- "$(roff_of "$option")" "$page" || fail "$1 lacks the option $option"
    done
done

commands=$("$cli" --help | sed -n '/^Commands:$/,$ s/^  \([a-z][a-z0-9-]*\).*/\1/p')
[ -n "$commands" ] || fail "vrncomm-cli --help lists no commands"
for command in $commands; do
    check
    # help2man makes a subsection of each command's synopsis, "get-setup FILE.set:".
    heading=".SS \"$command"
    grep -q -F -e "$heading " -e "$heading:" "$mandir/vrncomm-cli.1" ||
        fail "vrncomm-cli.1 has no subsection for the command $command"
    check
    # Its example: a "$ " line in constant width, before the next subsection.
    awk -v h="$heading" '(index($0, h " ") == 1 || index($0, h ":") == 1) {on = 1; next} /^\.S[SH] / {on = 0} on' \
        "$mandir/vrncomm-cli.1" | grep -q -F '\f(CW$ ' || fail "vrncomm-cli.1 has no example for the command $command"
done

echo "check-manpages: $checks checks, $failures failed"
[ "$failures" -eq 0 ]
