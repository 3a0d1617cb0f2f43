#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later

# The Debian package from end to end, as root on a machine that may be
# changed (it is put back as it was):
#
#  1. lintian on the built package: no error, no warning;
#  2. its desktop entry, AppStream metainfo and man pages validate clean,
#     and it holds every file an installed copy needs;
#  3. `apt-get install ./kobaltfa_*.deb`; the menu entry, the icon and the
#     command are in place;
#  4. with an administrator's preset in /etc/xdg/kobaltfa/kobaltfa.ini,
#     /usr/bin/kobaltfa is started as an ordinary user (nobody, with a fresh
#     home folder) on a private X server with a private D-Bus and AT-SPI
#     bus and driven through the accessibility tree (tests/e2e/e2e_atspi.py):
#     a drill opened, answered, closed, the program left; the user's own
#     ~/.config/kobaltfa/kobaltfa.ini must hold the preset's and the run's
#     values and the preset's foreign line, and nothing may have been
#     written under /usr (a preset that was there is put back afterwards);
#  5. `apt-get purge` of the package and of whatever apt installed for it;
#     none of its files, not /usr/share/kobaltfa, and no package that was
#     not there before may be left.
#
# Usage: tests/package/test_package.sh [deb-folder]   (default build/deb)
set -euo pipefail

here=$(cd "$(dirname "$0")/../.." && pwd)
debdir=$(cd "${1:-$here/build/deb}" && pwd)
ID=hu.kobaltfa.Kobaltfa
export LC_ALL=C.UTF-8 DEBIAN_FRONTEND=noninteractive

step() { printf '\n== %s\n' "$*"; }
fail() { echo "test-package: FAILED: $*" >&2; exit 1; }

[ "$(id -u)" = 0 ] || fail "must run as root (it installs and purges the package)"
debs=("$debdir"/kobaltfa_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "expected exactly one kobaltfa_*.deb in $debdir"
deb=${debs[0]}
changes=("$debdir"/kobaltfa_*.changes)
if dpkg-query -W -f='${db:Status-Abbrev}' kobaltfa 2>/dev/null | grep -q '^.i'; then
    fail "kobaltfa is already installed here; the test would remove it (purge it first)"
fi

work=$(mktemp -d /tmp/kobaltfa-package-test.XXXXXX)
chmod 755 "$work"
installed=0
new_pkgs=()
made_x11_dir=0
preset=/etc/xdg/kobaltfa/kobaltfa.ini
# untouched; made (the folder too); made_file_only; replaced (the old one kept in $work)
preset_state=untouched
restore_preset() {
    case $preset_state in
        made) rm -f "$preset"; rmdir /etc/xdg/kobaltfa 2>/dev/null || true ;;
        made_file_only) rm -f "$preset" ;;
        replaced) mv -f "$work/preset.orig" "$preset" ;;
    esac
    preset_state=untouched
}
cleanup() {
    restore_preset
    if [ "$installed" = 1 ]; then
        echo "cleaning up: purging kobaltfa ${new_pkgs[*]:-}"
        apt-get purge -y -qq kobaltfa "${new_pkgs[@]}" >/dev/null 2>&1 || true
    fi
    [ "$made_x11_dir" = 1 ] && rmdir /tmp/.X11-unix 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# ---------------------------------------------------------------- lintian
step "lintian $(basename "${changes[0]}")"
lintian --fail-on error,warning --display-info "${changes[0]}" | tee "$work/lintian.txt"
if grep -E '^[EW]: ' "$work/lintian.txt"; then fail "lintian reported the lines above"; fi
echo "lintian: no error, no warning"

# ------------------------------------------------- contents and validators
step "contents of $(basename "$deb")"
dpkg-deb -x "$deb" "$work/root"
want=(
    usr/bin/kobaltfa
    usr/share/applications/$ID.desktop
    usr/share/metainfo/$ID.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/$ID.svg
    usr/share/man/man1/kobaltfa.1.gz
    usr/share/man/hu/man1/kobaltfa.1.gz
    usr/share/kobaltfa/installed
)
for n in 16 22 24 32 48 64 128 256; do want+=(usr/share/icons/hicolor/${n}x${n}/apps/$ID.png); done
for f in "${want[@]}"; do [ -f "$work/root/$f" ] || fail "the package lacks /$f"; done
for n in 16 22 24 32 48 64 128 256; do
    size=$(file -b "$work/root/usr/share/icons/hicolor/${n}x${n}/apps/$ID.png")
    case $size in *"$n x $n"*) ;; *) fail "the ${n}x${n} icon is $size" ;; esac
done
[ ! -s "$work/root/usr/share/kobaltfa/installed" ] || fail "the installed mark is not empty"
echo "all ${#want[@]} files present"

step "desktop-file-validate, appstreamcli validate --no-net, man --warnings"
bash "$here/tests/package/validate_desktop_files.sh" "$work/root/usr/share/applications/$ID.desktop" \
    "$work/root/usr/share/metainfo/$ID.metainfo.xml" \
    "$work/root/usr/share/man/man1/kobaltfa.1.gz" "$work/root/usr/share/man/hu/man1/kobaltfa.1.gz" \
    || fail "the package's desktop files (above)"

# ---------------------------------------------------------------- install
step "apt-get install ./$(basename "$deb")"
dpkg-query -W -f='${db:Status-Abbrev} ${Package}:${Architecture}\n' | awk '$1 ~ /^.i/ {print $2}' \
    | sort >"$work/before.txt"
cp "$deb" "$work/"
installed=1
apt-get install -y -qq "$work/$(basename "$deb")" >"$work/apt-install.log" 2>&1 \
    || { cat "$work/apt-install.log"; fail "apt-get install"; }
dpkg-query -W -f='${db:Status-Abbrev} ${Package}:${Architecture}\n' | awk '$1 ~ /^.i/ {print $2}' \
    | sort >"$work/after.txt"
mapfile -t new_pkgs < <(comm -13 "$work/before.txt" "$work/after.txt" | grep -v '^kobaltfa:' || true)
echo "installed kobaltfa; with it apt installed: ${new_pkgs[*]:-nothing}"
dpkg -L kobaltfa >"$work/files.txt"

[ "$(command -v kobaltfa)" = /usr/bin/kobaltfa ] || fail "kobaltfa is not the command /usr/bin/kobaltfa"
desktop-file-validate /usr/share/applications/$ID.desktop || fail "installed menu entry"
grep -qx "Exec=kobaltfa" /usr/share/applications/$ID.desktop || fail "the menu entry does not start kobaltfa"
grep -qx "Icon=$ID" /usr/share/applications/$ID.desktop || fail "the menu entry names another icon"
for n in 48 256; do [ -f /usr/share/icons/hicolor/${n}x${n}/apps/$ID.png ] || fail "no ${n}x${n} icon"; done
echo "menu entry, icon and command in place"

# ------------------------------------------------ the program, as a pupil
step "/usr/bin/kobaltfa as user nobody, driven through AT-SPI"
python=/usr/bin/python3
"$python" -c 'import pyatspi' || fail "python3-pyatspi is missing (make test-package installs it)"
launcher=
for d in /usr/libexec /usr/lib/at-spi2-core /usr/libexec/at-spi2; do
    [ -x "$d/at-spi-bus-launcher" ] && { launcher=$d/at-spi-bus-launcher; break; }
done
[ -n "$launcher" ] || fail "at-spi-bus-launcher not found"
# An X server started by an ordinary user needs the shared socket folder.
if [ ! -d /tmp/.X11-unix ]; then
    mkdir -m 1777 /tmp/.X11-unix
    made_x11_dir=1
fi
home=$work/home
mkdir -m 700 "$home"
chown nobody:nogroup "$home"
cp "$here/tests/e2e/e2e_atspi.py" "$work/e2e_atspi.py"
chmod 644 "$work/e2e_atspi.py"
# The administrator's preset for every new account, with a line of its own.
if [ -e "$preset" ]; then
    cp -p "$preset" "$work/preset.orig"
    preset_state=replaced
elif [ -d /etc/xdg/kobaltfa ]; then
    preset_state=made_file_only
else
    mkdir -p /etc/xdg/kobaltfa
    preset_state=made
fi
printf '; preset by the school\r\n[OsszeTimer]\r\nIdoScroll=45\r\n' >"$preset"
touch "$work/stamp"
sleep 1
setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 \
    "$python" "$work/e2e_atspi.py" --program /usr/bin/kobaltfa --in-place \
        --settings "$home/.config/kobaltfa/kobaltfa.ini" --expect OsszeTimer/IdoScroll=45 \
        --xvfb "$(command -v Xvfb)" --dbus-daemon "$(command -v dbus-daemon)" \
        --at-spi-bus-launcher "$launcher" --xdotool "$(command -v xdotool)" --timeout 90 \
    || fail "the installed program, driven as user nobody (above)"
owner=$(stat -c %U "$home/.config/kobaltfa/kobaltfa.ini")
[ "$owner" = nobody ] || fail "the pupil's settings file belongs to $owner"
grep -q '^; preset by the school' "$home/.config/kobaltfa/kobaltfa.ini" \
    || fail "the pupil's file lacks the preset's own line"
restore_preset
# Whatever the pupil's program wrote belongs to nobody, or is a file anyone
# may write that changed during the run.
written=$(find /usr -xdev \( -user nobody -o -group nogroup -o \
    \( -perm -o+w ! -type l ! -type d -newer "$work/stamp" \) \) 2>/dev/null | head -20)
[ -z "$written" ] || fail "written under /usr while the program ran: $written"
[ ! -e /usr/bin/kobaltfa.ini ] || fail "/usr/bin/kobaltfa.ini exists"
echo "the pupil's file holds the preset's and the run's values; nothing written under /usr"

# ------------------------------------------------------------------ purge
step "apt-get purge kobaltfa ${new_pkgs[*]:-}"
apt-get purge -y -qq kobaltfa "${new_pkgs[@]}" >"$work/apt-purge.log" 2>&1 \
    || { cat "$work/apt-purge.log"; fail "apt-get purge"; }
installed=0
if dpkg-query -W -f='${db:Status-Abbrev}' kobaltfa 2>/dev/null | grep -qv '^un'; then
    fail "dpkg still knows kobaltfa: $(dpkg-query -W -f='${db:Status-Abbrev}' kobaltfa)"
fi
left=()
while read -r f; do
    [ -e "$f" ] && [ ! -d "$f" ] && left+=("$f")
done <"$work/files.txt"
[ ${#left[@]} = 0 ] || fail "left behind by the purge: ${left[*]}"
[ ! -e /usr/share/kobaltfa ] || fail "/usr/share/kobaltfa is left behind"
dpkg-query -W -f='${db:Status-Abbrev} ${Package}:${Architecture}\n' | awk '$1 ~ /^.i/ {print $2}' \
    | sort >"$work/purged.txt"
diff -u "$work/before.txt" "$work/purged.txt" || fail "the installed packages differ from before (above)"
echo "nothing left behind; the installed packages are those of before"

echo
echo "test-package: passed"
