#!/bin/sh
# Runs the timer's scripts as systemd and dpkg would, in a folder of their own: the generator on
# stations' settings, the wrapper without its settings and with a stand-in vrncomm-cli on PATH,
# and postrm purge on enabled timers.
#   test-collect-scripts.sh PACKAGING-DIR
set -u
src=${1:?usage: test-collect-scripts.sh PACKAGING-DIR}
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
failures=0
fail() { echo "test-collect-scripts: $*" >&2; failures=$((failures + 1)); }
unset SYSTEMD_SCOPE

# The generator: a good schedule, one with blanks around "=", ones the timer cannot take, none.
conf=$t/conf gen=$t/gen
mkdir -p "$conf" "$gen"
printf 'SERIAL=FT5XK2QA\nSCHEDULE="*:0/10"\n' >"$conf/good.conf"
printf '# weekly, with blanks\n  SCHEDULE = weekly  \nCOUNT = 10\n' >"$conf/blanks.conf"
printf 'SCHEDULE=Mon *-*-* 25:00\n' >"$conf/bad.conf"
printf 'SCHEDULE=2020-01-01\n' >"$conf/past.conf"
printf 'COUNT=10\n' >"$conf/none.conf"
syncconf=$t/sync
mkdir -p "$syncconf"
printf 'FROM=/var/lib/vrncomm/archive.db\nSCHEDULE=*:30\n' >"$syncconf/server.conf"
VRNCOMM_COLLECT_DIR=$conf VRNCOMM_SYNC_DIR=$syncconf sh "$src/systemd/vrncomm-collect-generator" "$gen" 2>"$t/gen.err" ||
    fail "the generator failed: $(cat "$t/gen.err")"
schedule() { cat "$gen/vrncomm-collect@$1.timer.d/schedule.conf" 2>/dev/null; }
[ "$(schedule good)" = "$(printf '[Timer]\nOnCalendar=\nOnCalendar=*:0/10')" ] ||
    fail "good.conf's schedule is not the timer's: $(schedule good)"
[ "$(schedule blanks)" = "$(printf '[Timer]\nOnCalendar=\nOnCalendar=weekly')" ] ||
    fail "SCHEDULE = weekly (blanks around =) is not the timer's: $(schedule blanks)"
[ ! -e "$gen/vrncomm-collect@none.timer.d" ] || fail "a station without SCHEDULE got a schedule"
[ "$(cat "$gen/vrncomm-sync@server.timer.d/schedule.conf" 2>/dev/null)" = "$(printf '[Timer]\nOnCalendar=\nOnCalendar=*:30')" ] ||
    fail "server.conf's schedule is not its sync timer's"
if command -v systemd-analyze >/dev/null 2>&1; then
    for station in bad past; do
        [ ! -e "$gen/vrncomm-collect@$station.timer.d" ] ||
            fail "$station.conf's schedule was written though the timer cannot take it: $(schedule $station)"
    done
    grep -q "^vrncomm-collect-generator: $conf/bad.conf: SCHEDULE=Mon \*-\*-\* 25:00 is not a calendar expression systemd takes (.*); vrncomm-collect@bad.timer keeps its hourly schedule\$" "$t/gen.err" ||
        fail "the generator does not name the bad schedule: $(cat "$t/gen.err")"
    grep -q "^vrncomm-collect-generator: $conf/past.conf: SCHEDULE=2020-01-01 never comes again" "$t/gen.err" ||
        fail "the generator does not name the schedule that never comes: $(cat "$t/gen.err")"
    [ "$(wc -l <"$t/gen.err")" -eq 2 ] || fail "the generator said more than the two bad schedules: $(cat "$t/gen.err")"
fi

# The wrapper, with a stand-in vrncomm-cli that prints what collect prints (nothing on stdout with
# --quiet), keeps its arguments and ends with the status asked for.
bin=$t/bin
mkdir -p "$bin"
cat >"$bin/vrncomm-cli" <<'CLI'
#!/bin/sh
printf '%s\n' "$@" >"$FAKE_ARGS"
for a in "$@"; do [ "$a" = --quiet ] && quiet=1; done
if [ -z "${quiet:-}" ]; then
    printf 'DOWNLOADING RECORDS...\nTOTAL BYTES: 40320\nSTORING RECORDS IN ARCHIVE...\n'
    printf 'RECORDS: 1440, NEW: 60, WITHOUT DATE OR TIME: 0\nNEWEST: 2026-07-02 05:59:00 UTC\n'
fi
[ "$FAKE_STATUS" -eq 0 ] || echo "error: Cannot communicate with 41700." >&2
exit "$FAKE_STATUS"
CLI
chmod +x "$bin/vrncomm-cli"
wrapper() {  # wrapper STATION STATUS: runs it, its stdout in $t/out, stderr in $t/err
    env PATH="$bin:$PATH" VRNCOMM_COLLECT_DIR="$conf" FAKE_ARGS="$t/args" FAKE_STATUS="$2" COUNT=10 \
        ARCHIVE=/var/lib/vrncomm/a.db sh "$src/systemd/vrncomm-collect" "$1" >"$t/out" 2>"$t/err"
}
rm -f "$t/args"
wrapper good 0
status=$?
[ "$status" -eq 0 ] || fail "a successful collection ended with $status: $(cat "$t/err")"
[ "$(cat "$t/out")" = "$(printf 'RECORDS: 1440, NEW: 60, WITHOUT DATE OR TIME: 0\nNEWEST: 2026-07-02 05:59:00 UTC')" ] ||
    fail "the summary lines do not reach the journal: $(cat "$t/out")"
[ "$(tr '\n' ' ' 2>/dev/null <"$t/args")" = "collect /var/lib/vrncomm/a.db --station good --count 10 " ] ||
    fail "vrncomm-cli was not run as collect: $(cat "$t/args" 2>/dev/null)"
wrapper good 1
status=$?
[ "$status" -eq 1 ] || fail "a failed collection ended with $status"
grep -qx 'error: Cannot communicate with 41700.' "$t/err" || fail "the error line is lost: $(cat "$t/err")"
rm -f "$t/args"
wrapper st1e 0
status=$?
[ "$status" -ne 0 ] || fail "a station without settings ended with 0"
[ "$(cat "$t/err")" = "vrncomm-collect: station st1e has no settings: $conf/st1e.conf is missing" ] ||
    fail "the missing settings file is not named: $(cat "$t/err")"
[ ! -e "$t/args" ] || fail "a station without settings still ran vrncomm-cli"

# The sync wrapper, with a stand-in vrncomm-cli that prints what sync prints: only the total goes
# on to the journal; settings without FROM or TO run nothing.
cat >"$bin/vrncomm-cli" <<'CLI'
#!/bin/sh
printf '%s\n' "$@" >"$FAKE_ARGS"
printf 'SYNCING A INTO B...\nSTATION st12: RECORDS 9 (1 NEW), WITHOUT DATE OR TIME 0 (0 NEW), COLLECTIONS 2 (1 NEW), ATTEMPTS 2 (1 NEW)\n'
printf 'STATIONS: 1 SYNCED, 0 LEFT OUT, NEW RECORDS: 1\n'
[ "$FAKE_STATUS" -eq 0 ] || echo "error: cannot open the archive B: no route to host" >&2
exit "$FAKE_STATUS"
CLI
syncwrapper() {  # syncwrapper NAME STATUS [KEY=VALUE...]: its stdout in $t/out, stderr in $t/err
    name=$1 status=$2
    shift 2
    env PATH="$bin:$PATH" VRNCOMM_SYNC_DIR="$syncconf" FAKE_ARGS="$t/args" FAKE_STATUS="$status" "$@" \
        sh "$src/systemd/vrncomm-sync" "$name" >"$t/out" 2>"$t/err"
}
rm -f "$t/args"
syncwrapper server 0 FROM=/var/lib/vrncomm/archive.db TO=postgresql://db/weather ||
    fail "a successful sync failed: $(cat "$t/err")"
[ "$(tr '\n' ' ' 2>/dev/null <"$t/args")" = "sync /var/lib/vrncomm/archive.db postgresql://db/weather " ] ||
    fail "vrncomm-cli was not run as sync FROM TO: $(cat "$t/args")"
[ "$(cat "$t/out")" = "STATIONS: 1 SYNCED, 0 LEFT OUT, NEW RECORDS: 1" ] || fail "the sync's total is not all the journal gets: $(cat "$t/out")"
syncwrapper server 7 FROM=a.db TO=b.db
status=$?
[ "$status" -eq 7 ] || fail "a sync that could not reach TO ended with $status"
grep -q '^error: cannot open the archive B' "$t/err" || fail "the sync's error line is lost: $(cat "$t/err")"
rm -f "$t/args"
syncwrapper server 0 FROM=a.db && fail "settings without TO ended with 0"
[ "$(cat "$t/err")" = "vrncomm-sync: $syncconf/server.conf names no FROM or no TO archive" ] ||
    fail "settings without TO are not named: $(cat "$t/err")"
syncwrapper other 0 FROM=a.db TO=b.db && fail "missing settings ended with 0"
[ ! -e "$t/args" ] || fail "the sync wrapper ran vrncomm-cli without its settings"

# postrm purge: the enabled timers' links go, everything else stays.
root=$t/root wants=$t/root/etc/systemd/system/timers.target.wants
mkdir -p "$wants" "$root/var/lib/vrncomm"
ln -s /usr/lib/systemd/system/vrncomm-collect@.timer "$wants/vrncomm-collect@st12.timer"
ln -s /usr/lib/systemd/system/vrncomm-sync@.timer "$wants/vrncomm-sync@server.timer"
ln -s /usr/lib/systemd/system/other.timer "$wants/other.timer"
: >"$root/var/lib/vrncomm/archive.db"
cat >"$bin/deb-systemd-helper" <<'HELPER'
#!/bin/sh
echo "$*" >>"$HELPER_LOG"
HELPER
chmod +x "$bin/deb-systemd-helper"
env PATH="$bin:$PATH" DPKG_ROOT="$root" HELPER_LOG="$t/helper" sh "$src/debian/postrm" purge ||
    fail "postrm purge failed"
[ ! -L "$wants/vrncomm-collect@st12.timer" ] || fail "purge left the timer's link timers.target.wants/vrncomm-collect@st12.timer"
[ ! -L "$wants/vrncomm-sync@server.timer" ] || fail "purge left the sync timer's link"
[ -L "$wants/other.timer" ] || fail "purge removed another package's link"
[ -f "$root/var/lib/vrncomm/archive.db" ] || fail "purge removed the archive"
grep -qx 'purge vrncomm-collect@st12.timer' "$t/helper" 2>/dev/null || fail "deb-systemd-helper purge was not asked"

[ "$failures" -eq 0 ] && echo "test-collect-scripts: all passed"
[ "$failures" -eq 0 ]
