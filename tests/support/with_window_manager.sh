#!/bin/sh
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs a command on a private X server (Xvfb) managed by a window manager,
# so that windows get the frame and the placement a desktop gives them.
#
#   with_window_manager.sh XVFB WINDOW_MANAGER COMMAND [ARG...]
#
# The command's exit code is the script's; the server and the window manager
# are stopped whatever happens.
set -u
xvfb=$1
wm=$2
shift 2

work=$(mktemp -d "${TMPDIR:-/tmp}/kobaltfa-wm-XXXXXX") || exit 1
xpid=
wmpid=
cleanup() {
    [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# The server picks a free display itself and writes its number.
"$xvfb" -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xpid=$!
tries=0
until [ -s "$work/display" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 150 ] || ! kill -0 "$xpid" 2>/dev/null; then
        echo "Xvfb did not start:" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done

# Nothing of the caller's desktop: display, session bus, settings.
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY SESSION_MANAGER
DISPLAY=:$(head -n 1 "$work/display")
HOME=$work
XDG_CONFIG_HOME=$work/config
XDG_RUNTIME_DIR=$work
QT_QPA_PLATFORM=xcb
export DISPLAY HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR QT_QPA_PLATFORM

"$wm" >"$work/wm.log" 2>&1 &
wmpid=$!

# The command waits for the window manager itself (a first window framed).
"$@"
status=$?
if [ "$status" -ne 0 ]; then
    echo "--- window manager log ---" >&2
    tail -n 20 "$work/wm.log" >&2
fi
exit "$status"
