#!/usr/bin/python3
"""An AT-SPI client against the running program, as a screen reader reaches it.

Usage: atspi_client.py WORK LANGUAGE
Walks every window (the main window, the macro manager, the key assignment dialog, the profile
manager): each control that can be pressed or set has a role and a name. In English it also
sets the brightness through the slider's value interface (the program's model follows, read over
D-Bus) and presses Save by its action (the keyboard receives the lighting). Prints one line per
check; exits 1 on the first failure.
"""
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# Debian's libatspi marks the interface getters deprecated; they are what pyatspi offers.
warnings.filterwarnings("ignore", category=DeprecationWarning)

WORK, LANGUAGE = sys.argv[1], sys.argv[2]
CHINESE = LANGUAGE == "chinese"
NAMES = {
    "Light": "灯光", "Save": "保存", "Macro Management": "宏管理器", "Cancel": "取消",
    "Profile": "配置", "Close": "关闭", "Brightness": "亮度",
}


def name(text):
    return NAMES[text] if CHINESE else text


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def wait_for(what, probe, limit=20.0):
    end = time.monotonic() + limit
    while time.monotonic() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    fail("timed out waiting for " + what)


def application():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "Tavrin Gaming Keyboard":
            return app
    return None


def showing(o):
    return o.get_state_set().contains(Atspi.StateType.SHOWING)


def walk(o):
    yield o
    for i in range(o.get_child_count()):
        child = o.get_child_at_index(i)
        if child is not None:
            yield from walk(child)


def windows(app):
    return [app.get_child_at_index(i) for i in range(app.get_child_count())]


def window_with(app, role):
    for w in windows(app):
        if w is not None and w.get_role() == role and showing(w):
            return w
    return None


def find(root, role, text):
    for o in walk(root):
        if o.get_role() == role and o.get_name() == text and showing(o):
            return o
    return None


def press(o, what):
    action = o.get_action_iface()
    if action is None or action.get_n_actions() == 0:
        fail(what + " has no action")
    action.do_action(0)


CONTROL_ROLES = {
    Atspi.Role.PUSH_BUTTON, Atspi.Role.CHECK_BOX, Atspi.Role.RADIO_BUTTON, Atspi.Role.SLIDER,
    Atspi.Role.COMBO_BOX, Atspi.Role.LIST_ITEM, Atspi.Role.PAGE_TAB, Atspi.Role.LINK,
    Atspi.Role.TOGGLE_BUTTON,
}


def check_tree(window, label):
    """Every control shown that can be pressed or set has a role and a name."""
    controls = 0
    for o in walk(window):
        if not showing(o):
            continue
        role = o.get_role()
        clickable = o.get_action_iface() is not None and o.get_action_iface().get_n_actions() > 0
        if role in CONTROL_ROLES or (clickable and role not in (Atspi.Role.FRAME,
                                                                 Atspi.Role.DIALOG,
                                                                 Atspi.Role.TEXT,
                                                                 Atspi.Role.LIST,
                                                                 Atspi.Role.TREE,
                                                                 Atspi.Role.FILLER)):
            controls += 1
            if role in (Atspi.Role.UNKNOWN, Atspi.Role.INVALID):
                fail("%s: a control without a role, named %r" % (label, o.get_name()))
            if not o.get_name():
                fail("%s: a %s without a name" % (label, o.get_role_name()))
    if controls < 3:
        fail("%s: only %d controls found" % (label, controls))
    print("ok %s: %d controls, each with a role and a name" % (label, controls), flush=True)


def dbus_brightness():
    out = subprocess.run(
        ["gdbus", "call", "--session", "--dest", "org.tavrin.GamingKeyboard", "--object-path",
         "/org/tavrin/GamingKeyboard", "--method", "org.freedesktop.DBus.Properties.Get",
         "org.tavrin.GamingKeyboard1", "Brightness"],
        capture_output=True, text=True, check=True).stdout
    return int(out.strip().strip("(<>,)"))


def lighting_writes():
    """SET_FEATURE frames with WriteLighting (06) the keyboard received on its command
    interface."""
    count = 0
    with open(WORK + "/link.txt") as log:
        for line in log:
            f = line.split()
            if len(f) > 8 and f[1] == "2" and f[2] == "<" and f[3] == "10" and f[8] == "06":
                count += 1
    return count


app = wait_for("the program on the accessibility bus", application)
main = wait_for("the main window", lambda: window_with(app, Atspi.Role.FRAME))
check_tree(main, "main window")

# Each dialog, opened and closed through actions.
press(wait_for("Macro Management", lambda: find(main, Atspi.Role.PUSH_BUTTON,
                                                name("Macro Management"))), "Macro Management")
macro = wait_for("the macro manager", lambda: window_with(app, Atspi.Role.DIALOG))
check_tree(macro, "macro manager")
press(find(macro, Atspi.Role.PUSH_BUTTON, name("Cancel")), "the macro manager's Cancel")
wait_for("the macro manager to close", lambda: window_with(app, Atspi.Role.DIALOG) is None)

caps = wait_for("the Caps Lock key", lambda: find(main, Atspi.Role.PUSH_BUTTON, "Caps Lock"))
if not caps.get_description():
    fail("the Caps Lock key tells no meaning")
press(caps, "Caps Lock")
keymap = wait_for("the key assignment dialog", lambda: window_with(app, Atspi.Role.DIALOG))
check_tree(keymap, "key assignment dialog")
press(find(keymap, Atspi.Role.PUSH_BUTTON, name("Cancel")), "the key assignment's Cancel")
wait_for("the key assignment dialog to close", lambda: window_with(app, Atspi.Role.DIALOG) is None)

press(find(main, Atspi.Role.PUSH_BUTTON, name("Profile")), "Profile")
profiles = wait_for("the profile manager", lambda: window_with(app, Atspi.Role.DIALOG))
check_tree(profiles, "profile manager")
# Its close button applies the selected profile: left here by its own Escape-free way, Cancel is
# not there; the close applies the default profile, which the keyboard test below does not mind.
press(find(profiles, Atspi.Role.PUSH_BUTTON, name("Close")), "the profile manager's close")
wait_for("the profile manager to close", lambda: window_with(app, Atspi.Role.DIALOG) is None)

if CHINESE:
    sys.exit(0)

# The brightness through the slider's value interface; the model follows.
press(find(main, Atspi.Role.PUSH_BUTTON, "Light"), "Light")
slider = wait_for("the brightness slider", lambda: find(main, Atspi.Role.SLIDER, "Brightness"))
value = slider.get_value_iface()
if value is None:
    fail("the brightness slider has no value interface")
before = int(value.get_current_value())
if before != dbus_brightness():
    fail("the slider shows %d, the model holds %d" % (before, dbus_brightness()))
wanted = before + 1 if before < int(value.get_maximum_value()) else before - 1
value.set_current_value(wanted)
wait_for("the model to follow the slider", lambda: dbus_brightness() == wanted)
print("ok brightness %d -> %d through the value interface, and in the model" % (before, wanted),
      flush=True)

# Save by its action: the keyboard receives the lighting.
writes = lighting_writes()
press(find(main, Atspi.Role.PUSH_BUTTON, "Save"), "Save")
wait_for("the keyboard to receive the lighting", lambda: lighting_writes() > writes)
print("ok Save pressed through its action; the keyboard received WriteLighting", flush=True)
