#!/usr/bin/python3
"""The editor driven by the keyboard alone, checked through what a screen reader learns of it.

Logs in, reads the built-in virtual radio (编辑 -> 读频 -> Enter), types a receive frequency
into the first channel, writes the radio (编辑 -> 写频 -> Enter) and quits, every key sent as
the X server's keyboard would send it, and checks at each step what the desktop accessibility
bus (AT-SPI) reports: the object that takes the focus (role, name, description), the progress
a transfer makes, the box that tells how it ended, the page the page keys turn to.

Run on a display of its own, in a session bus of its own:
    xvfb-run -a -s "-screen 0 1600x1000x24" dbus-run-session -- tests/shell/screen_reader.py build/rel/app/radio
Needs python3-pyatspi (gir1.2-atspi-2.0), at-spi2-core and xdotool (scripts/deps).
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

WAIT = 15  # seconds for one step; the whole run takes about ten
LAUNCHERS = ["/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher"]


class Failure(Exception):
    pass


class Snapshot:
    """An event's object as it was when the event came: it may be gone when it is looked at."""

    def __init__(self, kind, source, detail):
        self.kind, self.detail, self.source = kind, detail, source
        try:
            self.role, self.name = source.get_role_name(), source.get_name()
            self.description = source.get_description()
        except GLib.Error:
            self.role = self.name = self.description = ""
        self.value = None
        if kind.endswith("accessible-value"):
            try:
                self.value = source.get_current_value()
            except (GLib.Error, AttributeError):
                pass

    def __str__(self):
        return f"{self.kind} {self.role} '{self.name}'" + (f" = {self.value}" if self.value is not None else "")


class Reader:
    """Listens as a screen reader does and remembers what it was told."""

    KINDS = ["object:state-changed:focused", "object:state-changed:selected", "window:activate",
             "object:property-change:accessible-value"]

    def __init__(self):
        self.heard = []
        self.listener = Atspi.EventListener.new(self._hear)
        for kind in self.KINDS:
            self.listener.register(kind)

    def _hear(self, event):
        self.heard.append(Snapshot(event.type, event.source, event.detail1))

    def wait(self, what, found, since=0):
        """The first event from `since` on for which `found` holds, waiting up to WAIT seconds."""
        context = GLib.MainContext.default()
        end = time.monotonic() + WAIT
        while True:
            for i in range(since, len(self.heard)):
                if found(self.heard[i]):
                    return i
            if time.monotonic() > end:
                told = "\n  ".join(str(s) for s in self.heard[max(since, len(self.heard) - 15):])
                raise Failure(f"no {what} within {WAIT} s; the last events:\n  {told}")
            if not context.iteration(False):
                time.sleep(0.01)

    def focus(self, what, role, name=None, since=0, starts=None):
        """The object that took the focus: of `role`, named `name` or starting with `starts`."""

        def found(s):
            return (s.kind == "object:state-changed:focused" and s.detail == 1 and s.role == role
                    and (name is None or s.name == name) and (starts is None or s.name.startswith(starts)))

        return self.heard[self.wait(what, found, since)]

    def settled(self):
        """The object that has the focus once the events have stopped coming for a moment."""
        context = GLib.MainContext.default()
        quiet = time.monotonic() + 0.3
        end = time.monotonic() + WAIT
        while time.monotonic() < quiet and time.monotonic() < end:
            if context.iteration(False):
                quiet = time.monotonic() + 0.3
            else:
                time.sleep(0.01)
        gained = [s for s in self.heard if s.kind == "object:state-changed:focused" and s.detail == 1]
        return gained[-1] if gained else None

    def window(self, what, role, name=None, since=0):
        def found(s):
            return s.kind == "window:activate" and s.role == role and (name is None or s.name == name)

        return self.heard[self.wait(what, found, since)]


def texts(accessible, depth=0):
    """The names of an object and of everything inside it, as a reader going through it finds them."""
    out = [accessible.get_name()]
    if depth < 4:
        for i in range(accessible.get_child_count()):
            out += texts(accessible.get_child_at_index(i), depth + 1)
    return out


def on_cell(reader, starts):
    """The focus rests on a channel cell spoken from `starts` on, not on the grid as a whole."""
    end = time.monotonic() + WAIT
    while True:
        now = reader.settled()
        if now and now.role == "table cell" and now.name.startswith(starts):
            return now
        check(time.monotonic() < end, f"the focus rests on {now}, not on a cell spoken '{starts}...'")


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "20", *names], check=True)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "20", text], check=True)


def check(condition, what):
    if not condition:
        raise Failure(what)


def start_bus():
    """The accessibility bus, as a desktop session starts it."""
    launcher = next((p for p in LAUNCHERS if os.access(p, os.X_OK)), None)
    check(launcher, "no at-spi-bus-launcher (package at-spi2-core)")
    bus = subprocess.Popen([launcher, "--launch-immediately"])
    session = Gio.bus_get_sync(Gio.BusType.SESSION)
    end = time.monotonic() + WAIT
    while True:
        owned = session.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                  "NameHasOwner", GLib.Variant("(s)", ("org.a11y.Bus",)), None,
                                  Gio.DBusCallFlags.NONE, -1, None).unpack()[0]
        if owned:
            return bus
        check(time.monotonic() < end and bus.poll() is None, "the accessibility bus did not start")
        time.sleep(0.05)


def give_focus(pid):
    """What a window manager does when a window shows or one in front of it closes: the one
    window left shown takes the keyboard's input (no window manager runs here)."""
    end = time.monotonic() + WAIT
    while True:
        shown = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                               capture_output=True, text=True, timeout=WAIT).stdout.split()
        if len(shown) == 1:
            break
        check(time.monotonic() < end, f"{len(shown)} windows shown, not one")
        time.sleep(0.05)
    subprocess.run(["xdotool", "windowfocus", "--sync", shown[0]], check=True, timeout=WAIT)


def run(program, home):
    reader = Reader()
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", QT_QPA_PLATFORM="xcb",
               XDG_DATA_HOME=os.path.join(home, "data"), XDG_CONFIG_HOME=os.path.join(home, "config"),
               XDG_CACHE_HOME=os.path.join(home, "cache"))
    # A folder not there yet: the program makes it, with the empty password.
    radio = subprocess.Popen([program, "--virtual-radio", "--user-dir", os.path.join(home, "user")], env=env)
    try:
        give_focus(radio.pid)
        # The login window: the password field, named, and what Enter does in it.
        field = reader.focus("focus on the password field", "password text")
        check(field.name == "密码", f"the password field is named '{field.name}', not '密码'")
        check(field.description, "the password field does not say that Enter logs in")
        keys("Return")
        # The main window opens on the first channel's receive frequency.
        reader.window("main window", "frame")
        reader.focus("focus on the first channel", "table cell", starts="上段信道 1, 接收频率, ")
        on_cell(reader, "上段信道 1, 接收频率, ")

        # 编辑 -> 读频: the dialog opens on its start button; Enter reads.
        mark = len(reader.heard)
        keys("alt+e")
        reader.focus("the menu's first entry", "menu item", "读频", since=mark)
        keys("Return")
        reader.window("read dialog", "dialog", "读频", since=mark)
        reader.focus("focus on the read dialog's start button", "push button", "读频", since=mark)
        mark = len(reader.heard)
        keys("Return")
        done = reader.window("box telling how the read ended", "alert", since=mark)
        progress = [s.value for s in reader.heard[mark:] if s.value is not None and s.name == "读频进度"]
        check(len(progress) > 10 and max(progress) == 136,
              f"the progress bar '读频进度' told {len(progress)} values, the last {progress[-1:]}; not up to 136")
        check("读取成功!" in texts(done.source), f"the box says {texts(done.source)}, not 读取成功!")
        reader.focus("focus on the box's button", "push button", "确定", since=mark)
        mark = len(reader.heard)
        keys("Return")
        give_focus(radio.pid)
        # Back on the channel, which now holds what was read; typing opens its editor.
        reader.focus("focus back on the first channel", "table cell", starts="上段信道 1, 接收频率, ", since=mark)
        on_cell(reader, "上段信道 1, 接收频率, ")
        mark = len(reader.heard)
        type_text("145.125")
        editor = reader.focus("focus on the cell's editor", "text", since=mark)
        check(editor.name == "上段信道 1, 接收频率", f"the cell's editor is named '{editor.name}'")
        keys("Return")
        # Enter has moved on to the next channel; the grid speaks the first with what was typed.
        reader.focus("focus on the next channel", "table cell", since=mark, starts="上段信道 2, 接收频率, ")
        cell = on_cell(reader, "上段信道 2, 接收频率, ")
        typed = Atspi.Table.get_accessible_at(cell.source.get_parent(), 0, 1).get_name()
        check(typed.startswith("上段信道 1, 接收频率, 145.125"), f"the first channel is spoken '{typed}'")

        # 编辑 -> 写频 (the second entry), Enter writes.
        mark = len(reader.heard)
        keys("alt+e", "Down")
        reader.focus("the menu's second entry", "menu item", "写频", since=mark)
        keys("Return")
        reader.focus("focus on the write dialog's start button", "push button", "写频", since=mark)
        mark = len(reader.heard)
        keys("Return")
        done = reader.window("box telling how the write ended", "alert", since=mark)
        check("写频正确!" in texts(done.source), f"the box says {texts(done.source)}, not 写频正确!")
        check(any(s.value == 136 and s.name == "写频进度" for s in reader.heard[mark:]),
              "the progress bar '写频进度' did not tell its end")
        keys("Return")
        give_focus(radio.pid)
        reader.focus("focus back on the channel", "table cell", name=cell.name, since=mark)
        on_cell(reader, cell.name)
        # Ctrl+PgDn turns to the next page, the focus going along to its first control;
        # Ctrl+PgUp comes back to the channels.
        mark = len(reader.heard)
        keys("ctrl+Next")
        reader.wait("the page 上段设置 shown", lambda s: s.kind == "object:state-changed:selected"
                    and s.role == "page tab" and s.name == "上段设置", since=mark)
        now = reader.settled()
        check(now and now.name and now.role != "table cell", f"the focus rests on {now} after Ctrl+PgDn")
        keys("ctrl+Prior")
        on_cell(reader, cell.name)
        # 退出 on the menu bar ends the program.
        keys("alt+q")
        check(radio.wait(WAIT) == 0, f"the program ended with {radio.returncode}")
    finally:
        if radio.poll() is None:
            radio.kill()
            radio.wait()


def main():
    if len(sys.argv) != 2:
        sys.exit(f"usage: {sys.argv[0]} path/to/radio")
    check(shutil.which("xdotool"), "no xdotool (package xdotool)")
    bus = start_bus()
    home = tempfile.mkdtemp(prefix="radio-reader-")
    started = time.monotonic()
    try:
        run(os.path.abspath(sys.argv[1]), home)
    finally:
        bus.terminate()
        bus.wait()
        shutil.rmtree(home, ignore_errors=True)
    print(f"the keyboard walk passed in {time.monotonic() - started:.1f} s")


if __name__ == "__main__":
    try:
        main()
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        sys.exit(1)
