# Turns a program's --help text into man page sections (roff). Conventions of our help texts:
#   "usage: ..." first line               SYNOPSIS (the program's directory dropped)
#   "name:" or "name: text" at column 0   a section of its own, named in capitals
#   "  -x, --option ARG   text"           an option, continued by deeper indented lines
#   other indented lines                  examples and lists, shown as they are
#   other lines                           text, blank lines between paragraphs
# With -v subsection=1 the usage line becomes a subsection heading (one command of several);
# with -v skip=SECTION that section is left out (the commands, described one by one instead).

function esc(s) {
    gsub(/\\/, "\\e", s)
    if (s ~ /^[.']/) s = "\\&" s
    return s
}
function dashes(s) { gsub(/-/, "\\-", s); return s }
# Text goes out through put(): a paragraph break waits for the text after it, so none stands
# right after a heading or before the next one.
function put(s) {
    if (pp && !fresh) print ".PP"
    pp = 0
    fresh = 0
    print s
}
function endblock() {
    if (mode == "pre") print ".fi\n.RE"
    mode = ""
}
function section(name) {
    endblock()
    print ".SH " toupper(name)
    insection = 1
    fresh = 1
    pp = 0
}

NR == 1 && /^[Uu]sage: / {
    sub(/^[Uu]sage: /, "")
    sub(/^[^ ]*\//, "")
    if (subsection) {
        sub(/^[^ ]+ \[OPTIONS\] /, "")
        heading = dashes(esc($0))
        gsub(/"/, "\\(dq", heading)
        print ".SS \"" heading "\""
        fresh = 1
    } else {
        print ".SH SYNOPSIS\n.B\n" dashes(esc($0)) "\n.SH DESCRIPTION"
        fresh = 1
    }
    next
}
skipping && /^[^ ]/ && !/^$/ { skipping = 0 }
skipping || /^[^ ].*:$/ && tolower(substr($0, 1, length($0) - 1)) == skip { skipping = 1; endblock(); next }
/^[a-zA-Z][a-zA-Z ]*:$/ && !subsection { section(substr($0, 1, length($0) - 1)); next }
/^[a-zA-Z][a-zA-Z ]*: / && !subsection {
    name = $0; sub(/:.*/, "", name)
    text = $0; sub(/^[^:]*: +/, "", text)
    section(name)
    put(esc(text))
    mode = "text"
    next
}
/^$/ { endblock(); pp = 1; next }
/^ +-/ {
    if (mode == "pre") endblock()
    if (!insection && !subsection) section("options")
    term = $0; sub(/^ +/, "", term)
    text = ""
    if (match(term, /  +/)) { text = substr(term, RSTART + RLENGTH); term = substr(term, 1, RSTART - 1) }
    pp = 0
    put(".TP\n.B " dashes(esc(term)))
    if (text != "") print esc(text)
    mode = "option"
    next
}
/^ / && (mode == "option" || mode == "text") && !/^  [^ ]/ {
    line = $0; sub(/^ +/, "", line); print esc(line); next
}
/^ / {
    if (mode != "pre") { endblock(); put(".RS\n.nf"); mode = "pre" }
    line = $0; sub(/^  /, "", line); print dashes(esc(line)); next
}
{ if (mode == "pre") endblock(); mode = "text"; put(esc($0)) }
END { endblock() }
