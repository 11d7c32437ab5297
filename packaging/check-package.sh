#!/bin/sh
# Checks a built vrncomm .deb: its files, its dependencies, its desktop entry, its manual pages,
# its udev rule and maintainer scripts, and that the packaged command-line tool runs.
#   check-package.sh DEB
set -u
deb=$1
here=$(cd "$(dirname "$0")" && pwd)
failures=0 checks=0
fail() { echo "check-package: $*" >&2; failures=$((failures + 1)); }
expect() {  # expect DESCRIPTION COMMAND...: one check
    what=$1; shift
    checks=$((checks + 1))
    "$@" >/dev/null 2>&1 || fail "$what"
}

[ -f "$deb" ] || { echo "check-package: no package $deb" >&2; exit 1; }
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root" && dpkg-deb -e "$deb" "$root/DEBIAN" || { echo "check-package: $deb does not unpack" >&2; exit 1; }
listing=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|')

for f in /usr/bin/vrncomm /usr/bin/vrncomm-cli /usr/bin/vrncomm-sim \
         /usr/share/man/man1/vrncomm.1.gz /usr/share/man/man1/vrncomm-cli.1.gz /usr/share/man/man1/vrncomm-sim.1.gz \
         /usr/share/applications/vrncomm.desktop /usr/share/icons/hicolor/scalable/apps/vrncomm.svg \
         /usr/share/icons/hicolor/48x48/apps/vrncomm.png /usr/share/icons/hicolor/256x256/apps/vrncomm.png \
         /usr/lib/udev/rules.d/70-vrncomm.rules /usr/share/doc/vrncomm/README.md \
         /usr/share/doc/vrncomm/copyright /usr/share/doc/vrncomm/changelog.Debian.gz \
         /usr/lib/systemd/system/vrncomm-collect@.service /usr/lib/systemd/system/vrncomm-collect@.timer \
         /usr/lib/vrncomm/vrncomm-collect /usr/lib/systemd/system-generators/vrncomm-collect-generator \
         /usr/share/doc/vrncomm/examples/collect.conf /usr/lib/systemd/system/vrncomm-sync@.service \
         /usr/lib/systemd/system/vrncomm-sync@.timer /usr/lib/vrncomm/vrncomm-sync \
         /usr/share/doc/vrncomm/examples/sync.conf; do
    expect "the package lacks $f" sh -c "printf '%s\n' \"\$1\" | grep -qx -- \"\$2\"" _ "$listing" "$f"
done
stray=$(printf '%s\n' "$listing" | awk '$0 != "/" && ($0 !~ /^\/usr\// || $0 ~ /^\/usr\/local\//)')
expect "the package holds files outside /usr, or in /usr/local: $stray" test -z "$stray"
expect "the package holds tests or benchmarks" sh -c "! printf '%s\n' \"\$1\" | grep -E '_tests?\$|_bench\$|fuzz_'" _ "$listing"

field() { dpkg-deb -f "$deb" "$1"; }
expect "the package is not named vrncomm" test "$(field Package)" = vrncomm
expect "the package's version is not its changelog's newest" \
    test "$(field Version)" = "$(gzip -dc "$root/usr/share/doc/vrncomm/changelog.Debian.gz" | sed -n '1s/^vrncomm (\([^)]*\)).*/\1/p')"
depends=$(field Depends)
# The runtime libraries the programs link, and the platform plugins the window loads.
for p in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6charts6 libftdi1-2 libudev1 \
         qt6-qpa-plugins libqt6sql6 libqt6sql6-sqlite libqt6sql6-psql adduser; do
    expect "Depends lacks $p (it is: $depends)" sh -c "printf '%s' \"\$1\" | tr ',' '\n' | sed 's/^ *//' | grep -q \"^\$2\\( \\|\$\\)\"" _ "$depends" "$p"
done
expect "Depends names a development package: $depends" sh -c "! printf '%s' \"\$1\" | grep -q -- '-dev'" _ "$depends"

desktop=$root/usr/share/applications/vrncomm.desktop
expect "desktop-file-validate rejects the desktop entry" desktop-file-validate "$desktop"
expect "the desktop entry starts a program the package lacks" test -x "$root/usr/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
expect "the desktop entry's icon is not in the package" \
    test -f "$root/usr/share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$desktop").svg"

rule=$root/usr/lib/udev/rules.d/70-vrncomm.rules
for subsystem in tty usb; do
    expect "the udev rule gives no access to the $subsystem device" \
        grep -q "^SUBSYSTEM==\"$subsystem\".*ATTRS\{0,1\}{product}==\"VARNO 41700 USB\".*GROUP=\"dialout\".*TAG+=\"uaccess\"" "$rule"
done
for script in postinst postrm; do
    expect "the $script script is not an executable shell script" sh -c "test -x \"\$1\" && sh -n \"\$1\"" _ "$root/DEBIAN/$script"
done

# Record collection: never as root, in the dialout group, as a user the package makes.
service=$root/usr/lib/systemd/system/vrncomm-collect@.service
expect "the collection service does not run as the vrncomm user" grep -qx 'User=vrncomm' "$service"
expect "the collection service is not in the dialout group" grep -qx 'SupplementaryGroups=dialout' "$service"
expect "postinst does not make the vrncomm system user" grep -q 'adduser --system --group .*vrncomm' "$root/DEBIAN/postinst"
expect "postinst does not put vrncomm in the dialout group" grep -q 'adduser --quiet vrncomm dialout' "$root/DEBIAN/postinst"
for script in vrncomm-collect vrncomm-collect-generator; do
    expect "$script is not an executable shell script" sh -c "f=\$(find \"\$1/usr/lib\" -name \"\$2\"); test -x \"\$f\" && sh -n \"\$f\"" _ "$root" "$script"
done
# The generator gives a station's timer the schedule of its settings.
confdir=$root/conf gendir=$root/generated
mkdir -p "$confdir" "$gendir"
printf 'SERIAL=FT5XK2QA\nSCHEDULE="*:0/10"\n' >"$confdir/st12.conf"
printf 'SCHEDULE = weekly\n' >"$confdir/st14.conf"
expect "the generator does not give vrncomm-collect@st12.timer its schedule" sh -c \
    "VRNCOMM_COLLECT_DIR=\"\$1\" \"\$2\" \"\$3\" && grep -qx 'OnCalendar=\*:0/10' \"\$3/vrncomm-collect@st12.timer.d/schedule.conf\"" \
    _ "$confdir" "$root/usr/lib/systemd/system-generators/vrncomm-collect-generator" "$gendir"
expect "the generator does not take a schedule with blanks around =" \
    grep -qx 'OnCalendar=weekly' "$gendir/vrncomm-collect@st14.timer.d/schedule.conf"
expect "the collection service skips a station without settings instead of naming the missing file" \
    sh -c "! grep -q '^ConditionPathExists=' \"\$1\"" _ "$service"
expect "postrm purge leaves the enabled timers' links" grep -q 'deb-systemd-helper purge' "$root/DEBIAN/postrm"
# systemd's own check of the units, where systemd is installed: in the unpacked tree, with the
# system's targets beside them; any complaint (an unknown key too) fails.
if command -v systemd-analyze >/dev/null 2>&1 && [ -d /lib/systemd/system ]; then
    cp -n /lib/systemd/system/*.target "$root/usr/lib/systemd/system/" 2>/dev/null
    expect "systemd-analyze verify rejects the collection units" sh -c \
        "cd \"\$1/usr/lib/systemd/system\" && out=\$(systemd-analyze verify --man=no --root=\"\$1\" vrncomm-collect@st12.service vrncomm-collect@st12.timer vrncomm-sync@server.service vrncomm-sync@server.timer 2>&1) && test -z \"\$out\"" \
        _ "$root"
fi

mandir=$root/man
mkdir -p "$mandir"
for page in "$root"/usr/share/man/man1/*.1.gz; do gzip -dc "$page" >"$mandir/$(basename "$page" .gz)"; done
expect "the packaged manual pages do not follow the programs" \
    sh "$here/check-manpages.sh" "$mandir" "$root/usr/bin/vrncomm-cli" "$root/usr/bin/vrncomm-sim"

# Debian's own checks of a package, where lintian is installed: any error or warning fails. The
# package is not uploaded to Debian, so it closes no "intent to package" bug.
if command -v lintian >/dev/null 2>&1; then
    checks=$((checks + 1))
    lintian --fail-on error,warning --tag-display-limit 0 --suppress-tags initial-upload-closes-no-bugs \
        "$deb" >"$root/lintian.log" 2>&1 ||
        fail "lintian: $(grep -E '^[EW]: ' "$root/lintian.log" | tr '\n' ' ')"
fi

# The packaged tool itself, on the built-in simulated instrument.
expect "the packaged vrncomm-cli cannot get the simulated Setup" \
    timeout 60 sh -c "\"\$1/usr/bin/vrncomm-cli\" --simulate --quiet get-setup \"\$1/x.set\" && test -s \"\$1/x.set\"" _ "$root"
expect "the packaged vrncomm does not start" \
    timeout 60 env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$root/config" "$root/usr/bin/vrncomm" --simulate --quit-after-start

echo "check-package: $checks checks on $(basename "$deb"), $failures failed"
[ "$failures" -eq 0 ]
