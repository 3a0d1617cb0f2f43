#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Drives the real kobaltfa executable as an assistive technology would.

A private X server (Xvfb), a private D-Bus session with its own AT-SPI bus
and a copy of the program in a temporary folder (the settings file lies
beside the executable) are started. The test then finds the program in the
accessibility tree, opens the addition drill with the "Összeadás" button,
reads each question from the labels "első szám" and "második szám", types a
right and then a wrong answer with xdotool, reads the counters, the answer
log and the percentage back, goes back to the main window, leaves the program
through the exit question and checks the settings file it wrote.

With --platform wayland the program runs natively on Wayland under a
headless Weston instead of an X server. No key can be sent there from
outside, so the run goes through AT-SPI actions and text alone: it opens
the addition drill (the main window hidden under it, the answer field
taking only digits), then the length drill through the measures chooser,
where a task is drawn with "Következő feladat", answered by writing the
fields' text and judged with "Ellenőrzés", once right and once wrong; then
back one level at a time and out through the exit question.

Every wait is bounded, the whole run has a time limit, and everything that
was started is stopped again whatever happens.
"""

import argparse
import configparser
import ctypes
import decimal
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

PROGRAM_NAME = "kobaltfa"
DRILL_TITLE = "Kobaltfa -- Összeadás --"
CHOOSER_TITLE = "Kobaltfa -- Mértékegységek váltása --"
LENGTH_TITLE = "Kobaltfa -- Hosszúság átváltás --"
BACK = ["Vissza a főmenübe", "<- Főmenü"]
# Client sizes the windows are fixed at, on every platform.
MAIN_SIZE = (792, 137)
CHOOSER_SIZE = (688, 167)
CONVERSION_SIZE = (665, 426)


class Failure(Exception):
    """A step of the run did not do what it should."""


def log(msg):
    print(msg, flush=True)


# ----------------------------------------------------------------- processes


class Processes:
    """Everything the run starts, each in its own process group."""

    def __init__(self, work):
        self.work = work
        self.started = []  # (name, Popen)

    def start(self, name, argv, env, **kw):
        out = open(os.path.join(self.work, name + ".log"), "wb")
        kw.setdefault("stdout", out)
        kw.setdefault("stderr", out)
        try:
            p = subprocess.Popen(argv, env=env, start_new_session=True, **kw)
        finally:
            out.close()
        self.started.append((name, p))
        return p

    def log_tail(self, name, lines=15):
        try:
            with open(os.path.join(self.work, name + ".log"), "rb") as f:
                text = f.read().decode("utf-8", "replace").splitlines()
        except OSError:
            return ""
        return "\n".join(text[-lines:])

    def stop_all(self):
        for name, p in reversed(self.started):
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for name, p in reversed(self.started):
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                try:
                    p.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    log("could not stop %s (pid %d)" % (name, p.pid))
        reap_orphans()


def become_subreaper():
    """Daemons that detach (the AT-SPI registry) are reaped by this script."""
    try:
        libc = ctypes.CDLL(None, use_errno=True)
        libc.prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER
    except (OSError, AttributeError):
        pass


def reap_orphans():
    # Orphans that were handed to this script: end the ones still running
    # (they belong to this run), then collect them.
    for pid in child_pids():
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    deadline = time.monotonic() + 5
    while time.monotonic() < deadline:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            time.sleep(0.05)
    for pid in child_pids():
        try:
            os.kill(pid, signal.SIGKILL)
            os.waitpid(pid, 0)
        except (ProcessLookupError, ChildProcessError):
            pass


def child_pids():
    me = os.getpid()
    try:
        with open("/proc/%d/task/%d/children" % (me, me)) as f:
            return [int(x) for x in f.read().split()]
    except OSError:
        return []


def read_line(fd, seconds, what):
    """One line from a pipe, waiting at most `seconds`."""
    data = b""
    deadline = time.monotonic() + seconds
    while b"\n" not in data:
        left = deadline - time.monotonic()
        if left <= 0:
            raise Failure("no answer from %s within %d s" % (what, seconds))
        ready, _, _ = select.select([fd], [], [], left)
        if not ready:
            continue
        chunk = os.read(fd, 4096)
        if not chunk:
            raise Failure("%s ended before it said %s" % (what, "its address"))
        data += chunk
    return data.split(b"\n", 1)[0].decode().strip()


def wait_for(what, predicate, seconds=10, interval=0.1, describe=None):
    """Polls `predicate` until it gives a true value; fails after `seconds`."""
    deadline = time.monotonic() + seconds
    last_error = None
    while True:
        try:
            value = predicate()
            if value:
                return value
        except Failure:
            raise
        except Exception as e:  # objects vanish while windows change
            last_error = e
        if time.monotonic() > deadline:
            detail = ""
            if describe:
                detail = "\n" + describe()
            elif last_error:
                detail = " (last error: %s)" % last_error
            raise Failure("timed out after %d s waiting for %s%s" % (seconds, what, detail))
        time.sleep(interval)


# --------------------------------------------------------------- environment


def start_environment(args, procs, work):
    runtime = os.path.join(work, "runtime")
    os.mkdir(runtime, 0o700)
    env = dict(os.environ)
    for k in ("AT_SPI_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY",
              "QT_QPA_PLATFORM", "SESSION_MANAGER"):
        env.pop(k, None)
    env["XDG_RUNTIME_DIR"] = runtime

    if args.platform == "wayland":
        start_weston(args, procs, env, runtime)
    else:
        start_xvfb(args, procs, env)

    # Session bus at an address inside the work folder.
    bus = procs.start("dbus", [args.dbus_daemon, "--session", "--nofork", "--print-address=1",
                               "--address=unix:path=" + os.path.join(work, "session-bus")],
                      env, stdout=subprocess.PIPE)
    env["DBUS_SESSION_BUS_ADDRESS"] = read_line(bus.stdout.fileno(), 15, "dbus-daemon")
    log("session bus at %s" % env["DBUS_SESSION_BUS_ADDRESS"])

    # The accessibility bus; its launcher starts the registry on demand.
    procs.start("at-spi-bus-launcher", [args.at_spi_bus_launcher, "--launch-immediately", "--a11y=1"], env)
    wait_for("the AT-SPI bus launcher to own org.a11y.Bus",
             lambda: name_has_owner(env["DBUS_SESSION_BUS_ADDRESS"], "org.a11y.Bus"), seconds=15)
    return env


def start_weston(args, procs, env, runtime):
    """A headless Weston with its own socket in the private runtime folder."""
    socket = "wayland-kobaltfa"
    procs.start("weston", [args.weston, "--backend=headless-backend.so", "--socket=" + socket,
                           "--idle-time=0", "--width=1280", "--height=1024"], env)
    path = os.path.join(runtime, socket)
    wait_for("Weston's socket %s" % path, lambda: os.path.exists(path), seconds=15,
             describe=lambda: procs.log_tail("weston"))
    env["WAYLAND_DISPLAY"] = socket
    # Weston draws no title bars for its clients, so the toolkit draws its
    # own, from a decoration plugin that it unloads at exit with a small
    # buffer still held (which the sanitizer build would report as ours).
    # The windows' contents, what this run drives, are the same without it.
    env["QT_WAYLAND_DISABLE_WINDOWDECORATION"] = "1"
    log("Weston (headless) on %s" % socket)


def start_xvfb(args, procs, env):
    # X server: it picks a free display itself and writes its number.
    r, w = os.pipe()
    procs.start("xvfb", [args.xvfb, "-displayfd", str(w), "-screen", "0", "1280x1024x24",
                         "-nolisten", "tcp", "-noreset"], env, pass_fds=(w,))
    os.close(w)
    try:
        display = read_line(r, 15, "Xvfb")
    finally:
        os.close(r)
    env["DISPLAY"] = ":" + display
    log("X server on :%s" % display)


def name_has_owner(address, name):
    from gi.repository import Gio, GLib
    conn = Gio.DBusConnection.new_for_address_sync(
        address,
        Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
        None, None)
    try:
        reply = conn.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                               "NameHasOwner", GLib.Variant("(s)", (name,)), GLib.VariantType("(b)"),
                               Gio.DBusCallFlags.NONE, 2000, None)
        return reply.unpack()[0]
    finally:
        conn.close_sync(None)


# ------------------------------------------------------- accessibility tree


class Tree:
    """The program as the accessibility tree shows it."""

    def __init__(self, pyatspi, app):
        self.pyatspi = pyatspi
        self.app = app

    def refresh(self):
        # The client library keeps names and states; ask afresh each time.
        try:
            self.app.clear_cache()
        except Exception:
            pass

    def walk(self, root=None, depth=8):
        root = root or self.app
        stack = [(root, 0)]
        while stack:
            node, d = stack.pop()
            yield node
            if d >= depth:
                continue
            try:
                kids = [node.getChildAtIndex(i) for i in range(node.childCount)]
            except Exception:
                continue
            stack.extend((k, d + 1) for k in reversed(kids) if k is not None)

    def find(self, role, name, root=None, showing=True):
        self.refresh()
        for node in self.walk(root):
            try:
                if node.getRole() != role or node.name not in ([name] if isinstance(name, str) else name):
                    continue
                if showing and not node.getState().contains(self.pyatspi.STATE_SHOWING):
                    continue
                return node
            except Exception:
                continue
        return None

    def need(self, role, name, root=None, seconds=10):
        return wait_for("%s %r" % (getattr(role, "value_nick", role), name),
                        lambda: self.find(role, name, root), seconds=seconds, describe=self.describe)

    def text_of(self, node):
        if "Text" not in node.get_interfaces():
            raise Failure("%s %r offers no text to read" % (node.getRoleName(), node.name))
        t = node.queryText()
        return t.getText(0, t.characterCount)

    def focused(self, node):
        self.refresh()
        return node.getState().contains(self.pyatspi.STATE_FOCUSED)

    def press(self, node, allowed=("Press",)):
        action = node.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        for name in allowed:
            if name in names:
                action.doAction(names.index(name))
                return
        raise Failure("%r offers no %s action (only %s)" % (node.name, " or ".join(allowed), names))

    def showing(self, node):
        self.refresh()
        try:
            return node.getState().contains(self.pyatspi.STATE_SHOWING)
        except Exception:
            return False

    def size(self, node):
        # Screen extents: the toolkit gives the window-relative ones the far
        # corner's coordinates in place of the size.
        ext = node.queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS)
        return (ext.width, ext.height)

    def set_text(self, node, text):
        if "EditableText" not in node.get_interfaces():
            raise Failure("%s %r offers no editable text" % (node.getRoleName(), node.name))
        node.queryEditableText().setTextContents(text)

    def describe(self):
        """The showing part of the tree, for a failure message."""
        self.refresh()
        lines = []

        def visit(node, indent):
            try:
                state = node.getState()
                if indent and not state.contains(self.pyatspi.STATE_SHOWING):
                    return
                extra = ""
                if "Text" in node.get_interfaces():
                    extra = " text=%r" % self.text_of(node)
                lines.append("%s%s %r%s" % ("  " * indent, node.getRoleName(), node.name, extra))
                for i in range(node.childCount):
                    kid = node.getChildAtIndex(i)
                    if kid is not None:
                        visit(kid, indent + 1)
            except Exception as e:
                lines.append("%s(unreadable: %s)" % ("  " * indent, e))

        visit(self.app, 0)
        return "accessibility tree (showing part):\n" + "\n".join(lines)


def no_refused_write(tree):
    """Fails at once when the program shows its refused-write warning."""
    tree.refresh()
    for node in tree.walk(depth=6):
        try:
            texts = [node.name or ""]
            if "Text" in node.get_interfaces():
                texts.append(tree.text_of(node))
        except Exception:
            continue
        for t in texts:
            if "Unable to write to" in t:
                raise Failure("the program could not save its settings: %r" % t)
    return True


def find_application(pyatspi, program):
    def look():
        if program.poll() is not None:
            raise Failure("kobaltfa ended (exit code %s) before it showed up" % program.returncode)
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == PROGRAM_NAME:
                return app
        return None

    return wait_for("the application %r on the accessibility desktop" % PROGRAM_NAME, look, seconds=20,
                    interval=0.2)


# ---------------------------------------------------------------- the drive


def xdotool(args, env, *argv):
    r = subprocess.run([args.xdotool] + list(argv), env=env, capture_output=True, timeout=15)
    if r.returncode != 0:
        raise Failure("xdotool %s failed: %s" % (" ".join(argv), r.stderr.decode(errors="replace")))


def read_number(tree, label):
    text = tree.text_of(label).strip()
    if not text.isdigit():
        raise Failure("label %r shows %r, not a number" % (label.name, text))
    return int(text)


def answer(tree, args, env, field, typed):
    wait_for("the answer field to have the keyboard focus", lambda: tree.focused(field),
             describe=tree.describe)
    xdotool(args, env, "type", "--delay", "30", "--", typed)
    wait_for("the answer field to show %r" % typed, lambda: tree.text_of(field) == typed,
             describe=lambda: "it shows %r" % tree.text_of(field))
    xdotool(args, env, "key", "Return")


def open_program(program):
    """The running program's accessibility tree and its main window, checked for size."""
    import pyatspi
    from gi.repository import Atspi

    Atspi.set_timeout(5000, 20000)
    app = find_application(pyatspi, program)
    tree = Tree(pyatspi, app)
    log("found the application %r" % app.name)
    main = tree.need(pyatspi.ROLE_FRAME, "Kobaltfa", root=app)
    check_size(tree, main, MAIN_SIZE, "the main window")
    return pyatspi, tree, main


def drive(args, env, program):
    pyatspi, tree, main = open_program(program)
    tree.press(tree.need(pyatspi.ROLE_PUSH_BUTTON, "Összeadás", root=main))
    log("pressed Összeadás")

    drill = tree.need(pyatspi.ROLE_DIALOG, DRILL_TITLE)
    first = tree.need(pyatspi.ROLE_LABEL, "első szám", root=drill)
    second = tree.need(pyatspi.ROLE_LABEL, "második szám", root=drill)
    field = tree.need(pyatspi.ROLE_TEXT, "válasz", root=drill)
    counters = {name: tree.need(pyatspi.ROLE_LABEL, name, root=drill)
                for name in ("kérdések száma", "jó válaszok száma", "rossz válaszok száma",
                             "időn túli válaszok száma")}
    log_box = tree.need(pyatspi.ROLE_TEXT, "válaszok", root=drill)
    gauge = tree.need(pyatspi.ROLE_PROGRESS_BAR, "jó válaszok aránya", root=drill)

    for name in ("kérdések száma", "jó válaszok száma", "rossz válaszok száma"):
        if read_number(tree, counters[name]) != 0:
            raise Failure("a fresh drill shows %r = %s" % (name, tree.text_of(counters[name])))

    lines = []
    # A right answer.
    a, b = read_number(tree, first), read_number(tree, second)
    log("question 1: %d + %d" % (a, b))
    answer(tree, args, env, field, str(a + b))
    wait_for("'jó válaszok száma' to become 1", lambda: tree.text_of(counters["jó válaszok száma"]) == "1",
             describe=tree.describe)
    lines.append("%d+%d=%d" % (a, b, a + b))

    # A wrong one.
    a, b = read_number(tree, first), read_number(tree, second)
    log("question 2: %d + %d" % (a, b))
    answer(tree, args, env, field, str(a + b + 1))
    wait_for("'rossz válaszok száma' to become 1",
             lambda: tree.text_of(counters["rossz válaszok száma"]) == "1", describe=tree.describe)
    lines.append("%d+%d=%d" % (a, b, a + b + 1))

    got = {name: read_number(tree, node) for name, node in counters.items()}
    want = {"kérdések száma": 2, "jó válaszok száma": 1, "rossz válaszok száma": 1}
    for name, value in want.items():
        if got[name] != value:
            raise Failure("after one right and one wrong answer %r shows %d, expected %d" % (name, got[name], value))
    if not 0 <= got["időn túli válaszok száma"] <= 2:
        raise Failure("late answers: %d of 2" % got["időn túli válaszok száma"])
    logged = [l for l in tree.text_of(log_box).replace("\u2029", "\n").splitlines() if l.strip()]
    if logged != lines:
        raise Failure("the answer log reads %r, expected %r" % (logged, lines))
    percent = gauge.queryValue().currentValue
    if percent != 50:
        raise Failure("the percentage gauge shows %s, expected 50" % percent)
    log("counters %s, log %s, gauge %s%%" % (got, logged, percent))

    # Back to the main window by the drill's own button.
    tree.press(tree.need(pyatspi.ROLE_PUSH_BUTTON, ["Vissza a főmenübe", "<- Főmenü"], root=drill))
    wait_for("the drill window to close",
             lambda: no_refused_write(tree) and tree.find(pyatspi.ROLE_DIALOG, DRILL_TITLE) is None,
             describe=tree.describe)
    main = tree.need(pyatspi.ROLE_FRAME, "Kobaltfa", root=tree.app)
    log("back in the main window")

    # Leave through the exit question.
    leave(tree, main, program)


def check_size(tree, node, want, what):
    got = wait_for("%s to be %dx%d" % (what, want[0], want[1]), lambda: tree.size(node) == want and want,
                   describe=lambda: "it is %dx%d" % tree.size(node))
    log("%s is %dx%d" % (what, got[0], got[1]))


def open_from(tree, window, button, title, what):
    """Presses `button` of `window`; the dialog `title` must come up and
    `window` must be hidden under it."""
    import pyatspi
    tree.press(tree.need(pyatspi.ROLE_PUSH_BUTTON, button, root=window))
    dialog = tree.need(pyatspi.ROLE_DIALOG, title)
    wait_for("the window below %s to hide" % what, lambda: not tree.showing(window), describe=tree.describe)
    log("%s open, the window below hidden" % what)
    return dialog


def go_back(tree, dialog, title, below, what):
    import pyatspi
    tree.press(tree.need(pyatspi.ROLE_PUSH_BUTTON, BACK, root=dialog))
    wait_for("%s to close" % what,
             lambda: no_refused_write(tree) and tree.find(pyatspi.ROLE_DIALOG, title) is None,
             describe=tree.describe)
    wait_for("the window below %s to show again" % what, lambda: tree.showing(below), describe=tree.describe)
    log("%s closed, the window below shown again" % what)


def conversion_task(tree, window, wrong):
    """One task in the length window with the kilometre given: draws it,
    writes every other unit (one of them off by one when `wrong`) and
    judges it."""
    import pyatspi
    tree.press(tree.need(pyatspi.ROLE_PUSH_BUTTON, "Következő feladat", root=window))
    given = tree.need(pyatspi.ROLE_TEXT, "km mező", root=window)
    metres = tree.need(pyatspi.ROLE_TEXT, "m mező", root=window)
    # The press lands a moment later (an animated click): the new task has
    # come when the fields of the last one are empty and a number is given.
    text = wait_for("a given number of kilometres",
                    lambda: tree.text_of(metres) == "" and tree.text_of(given).strip(),
                    describe=tree.describe)
    try:
        km = decimal.Decimal(text)
    except decimal.InvalidOperation:
        raise Failure("the given kilometres read %r" % text)
    typed = {}
    for unit, factor in (("m", 1000), ("dm", 10000), ("cm", 100000), ("mm", 1000000)):
        value = km * factor
        if wrong and unit == "cm":
            value += 1
        typed[unit] = format(value.normalize(), "f")
        field = tree.need(pyatspi.ROLE_TEXT, unit + " mező", root=window)
        tree.set_text(field, typed[unit])
        wait_for("the %s field to show %r" % (unit, typed[unit]), lambda: tree.text_of(field) == typed[unit],
                 describe=lambda: "it shows %r" % tree.text_of(field))
    log("task: %s km given, typed %s" % (text, typed))
    tree.press(tree.need(pyatspi.ROLE_PUSH_BUTTON, "Ellenőrzés", root=window))


def drive_wayland(args, env, program):
    """The same road as `drive`, natively on Wayland, through actions and text."""
    pyatspi, tree, main = open_program(program)

    # The addition drill: opened modally over the hidden main window; its
    # answer field takes only digits, whatever text reaches it.
    drill = open_from(tree, main, "Összeadás", DRILL_TITLE, "the addition drill")
    field = tree.need(pyatspi.ROLE_TEXT, "válasz", root=drill)
    tree.need(pyatspi.ROLE_LABEL, "első szám", root=drill)
    tree.set_text(field, "1x2")
    wait_for("the answer field to keep only the digits of '1x2'", lambda: tree.text_of(field) == "12",
             describe=lambda: "it shows %r" % tree.text_of(field))
    log("answer field keeps digits only")
    go_back(tree, drill, DRILL_TITLE, main, "the addition drill")

    # The length drill, two levels down.
    chooser = open_from(tree, main, "Mértékegységek váltása", CHOOSER_TITLE, "the measures chooser")
    check_size(tree, chooser, CHOOSER_SIZE, "the measures chooser")
    length = open_from(tree, chooser, "Hosszúság l (longitudo)", LENGTH_TITLE, "the length drill")
    check_size(tree, length, CONVERSION_SIZE, "the length drill")
    tree.press(tree.need(pyatspi.ROLE_RADIO_BUTTON, "km", root=length), ("Press", "Toggle", "Click"))
    counters = {name: tree.need(pyatspi.ROLE_LABEL, name, root=length)
                for name in ("kérdések száma", "jó válaszok száma", "rossz válaszok száma")}
    conversion_task(tree, length, wrong=False)
    wait_for("'jó válaszok száma' to become 1", lambda: tree.text_of(counters["jó válaszok száma"]) == "1",
             describe=tree.describe)
    conversion_task(tree, length, wrong=True)
    wait_for("'rossz válaszok száma' to become 1",
             lambda: tree.text_of(counters["rossz válaszok száma"]) == "1", describe=tree.describe)
    got = {name: read_number(tree, node) for name, node in counters.items()}
    if got != {"kérdések száma": 2, "jó válaszok száma": 1, "rossz válaszok száma": 1}:
        raise Failure("after one right and one wrong task the counters read %s" % got)
    gauge = tree.need(pyatspi.ROLE_PROGRESS_BAR, "jó válaszok aránya", root=length)
    if gauge.queryValue().currentValue != 50:
        raise Failure("the percentage gauge shows %s, expected 50" % gauge.queryValue().currentValue)
    log("counters %s, gauge 50%%" % got)
    go_back(tree, length, LENGTH_TITLE, chooser, "the length drill")
    go_back(tree, chooser, CHOOSER_TITLE, main, "the measures chooser")

    leave(tree, main, program)


def leave(tree, main, program):
    import pyatspi
    tree.press(tree.need(pyatspi.ROLE_PUSH_BUTTON, "Kilépés", root=main))
    dialog = tree.need(pyatspi.ROLE_DIALOG, "Megerősítés")
    yes = tree.need(pyatspi.ROLE_PUSH_BUTTON, ["Igen", "&Igen"], root=dialog)
    log("exit question shown")
    tree.press(yes)
    try:
        code = program.wait(timeout=15)
    except subprocess.TimeoutExpired:
        raise Failure("kobaltfa did not end within 15 s of 'Igen'")
    if code != 0:
        raise Failure("kobaltfa ended with exit code %d" % code)
    log("kobaltfa ended")


def check_settings(path, expect=()):
    if not os.path.exists(path):
        raise Failure("no settings file at %s" % path)
    with open(path, encoding="utf-8") as f:
        text = f.read()
    ini = configparser.ConfigParser(interpolation=None)
    ini.optionxform = str
    try:
        ini.read_string(text)
    except configparser.Error as e:
        raise Failure("the settings file does not parse: %s\n%s" % (e, text))
    want = {
        ("OsszeTimer", "IdoScroll"): "30",
        ("OsszeRadioButtonok", "RB2"): "1",
        ("OsszeRadioButtonok", "RB3"): "0",
        ("OsszeRadioButtonok", "RB4"): "0",
        ("OsszeRadioButtonok", "RB5"): "0",
        ("OsszeRadioButtonok", "RB6"): "0",
        ("Skin", "SkinName"): "Aluminium (internal)",
    }
    for item in expect:
        where, _, value = item.partition("=")
        section, _, key = where.partition("/")
        want[(section, key)] = value
    for (section, key), value in want.items():
        got = ini.get(section, key, fallback=None)
        if got != value:
            raise Failure("settings file: [%s] %s is %r, expected %r\n%s" % (section, key, got, value, text))
    log("settings file holds %s" % ", ".join("[%s] %s=%s" % (s, k, v) for (s, k), v in want.items()))


# ---------------------------------------------------------------------- main


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True, help="the kobaltfa executable")
    parser.add_argument("--xvfb", default="Xvfb")
    parser.add_argument("--dbus-daemon", default="dbus-daemon")
    parser.add_argument("--at-spi-bus-launcher", default="/usr/libexec/at-spi-bus-launcher")
    parser.add_argument("--xdotool", default="xdotool")
    parser.add_argument("--platform", choices=("xcb", "wayland"), default="xcb",
                        help="X11 under Xvfb (typing with xdotool) or native Wayland under a headless Weston")
    parser.add_argument("--weston", default="weston")
    parser.add_argument("--in-place", action="store_true",
                        help="run the program where it is (an installed copy) instead of a copy of it")
    parser.add_argument("--settings", help="where the settings file must appear "
                        "(default: beside the program's copy)")
    parser.add_argument("--expect", action="append", default=[], metavar="SECTION/KEY=VALUE",
                        help="a value the settings file must hold in place of the default one")
    parser.add_argument("--timeout", type=int, default=60, help="limit of the whole run in seconds")
    parser.add_argument("--keep", action="store_true", help="keep the work folder")
    args = parser.parse_args()

    become_subreaper()
    work = tempfile.mkdtemp(prefix="kobaltfa-e2e-")
    procs = Processes(work)
    program = None

    def overall(signum, frame):
        raise Failure("the run took longer than %d s" % args.timeout)

    def terminated(signum, frame):
        raise Failure("terminated from outside")

    signal.signal(signal.SIGALRM, overall)
    signal.signal(signal.SIGTERM, terminated)
    signal.alarm(args.timeout)
    ok = False
    try:
        env = start_environment(args, procs, work)
        # The client side of the tree reads the same buses.
        os.environ.update({k: env[k] for k in ("DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR")})
        if "DISPLAY" in env:
            os.environ["DISPLAY"] = env["DISPLAY"]

        appdir = os.path.join(work, "app")
        os.mkdir(appdir)
        if args.in_place:
            exe = args.program
        else:
            exe = os.path.join(appdir, "kobaltfa")
            shutil.copy2(args.program, exe)
        program_env = dict(env)
        program_env.update({
            "QT_QPA_PLATFORM": args.platform,
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
            # No sound server: the cues stay silent.
            "PULSE_SERVER": "unix:" + os.path.join(work, "no-sound-server"),
        })
        program = procs.start("kobaltfa", [exe], program_env, cwd=appdir)
        if args.platform == "wayland":
            drive_wayland(args, env, program)
        else:
            drive(args, env, program)
        check_settings(args.settings or exe + ".ini", args.expect)
        ok = True
    except Failure as e:
        log("FAIL: %s" % e)
    except Exception:
        log("FAIL: unexpected error\n%s" % traceback.format_exc())
    finally:
        signal.alarm(0)
        if not ok:
            for name in ("kobaltfa", "at-spi-bus-launcher", "dbus", "xvfb", "weston"):
                tail = procs.log_tail(name)
                if tail:
                    log("--- %s log (last lines) ---\n%s" % (name, tail))
        procs.stop_all()
        if args.keep:
            log("work folder kept: %s" % work)
        else:
            shutil.rmtree(work, ignore_errors=True)
    log("e2e_atspi: %s" % ("passed" if ok else "FAILED"))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
