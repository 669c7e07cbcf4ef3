#!/usr/bin/python3
"""Reads Wardel's windows the way a screen reader does, over AT-SPI, and fails if the program dies.

Usage: screen_reader_client.py WARDEL_EXECUTABLE
Runs inside a private session bus and an X display; starts the program itself and ends it with SIGTERM.
"""

import os
import signal
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

DEADLINE = 20.0  # seconds for the program's windows to show up on the accessibility bus


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def wait_for(what, find, program):
    end = time.monotonic() + DEADLINE
    while time.monotonic() < end:
        if program.poll() is not None:
            fail("the program ended (%s) while waiting for %s" % (program.returncode, what))
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    fail("no %s on the accessibility bus" % what)


def application():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and ask(app.get_name) == "Wardel":
            return app
    return None


def window(app, title_part):
    for i in range(ask(app.get_child_count) or 0):
        child = ask(app.get_child_at_index, i)
        if child is not None and title_part in (ask(child.get_name) or ""):
            return child
    return None


def ask(call, *args):
    """One question to the program; an error reply is an answer too. Only the program's end counts."""
    try:
        return call(*args)
    except GLib.Error:
        return None


def text_of(node):
    if ask(node.get_text_iface) is None:
        return ""
    return ask(Atspi.Text.get_text, node, 0, ask(Atspi.Text.get_character_count, node) or 0)


def probe_table(table):
    """Asks the table for cells and headers inside and outside its bounds, as readers do."""
    rows, columns = ask(Atspi.Table.get_n_rows, table) or 0, ask(Atspi.Table.get_n_columns, table) or 0
    for row, column in [(-1, -1), (0, 0), (rows - 1, columns - 1), (rows, 0), (0, columns), (-3, 2),
                        (rows + 5, columns + 5)]:
        cell = ask(Atspi.Table.get_accessible_at, table, row, column)
        if cell is not None:
            ask(cell.get_name)
            ask(cell.get_role_name)
        ask(Atspi.Table.get_row_extent_at, table, row, column)
        ask(Atspi.Table.is_selected, table, row, column)
        ask(Atspi.Table.get_index_at, table, row, column)
    for column in [-1, 0, columns, columns + 3]:
        ask(Atspi.Table.get_column_description, table, column)
        ask(Atspi.Table.get_column_header, table, column)
        ask(Atspi.Table.is_column_selected, table, column)
    for row in [-1, 0, rows, rows + 3]:
        ask(Atspi.Table.get_row_description, table, row)
        ask(Atspi.Table.get_row_header, table, row)
        ask(Atspi.Table.is_row_selected, table, row)
    for index in [-1, 0, rows * columns, rows * columns + 50]:
        ask(Atspi.Table.get_row_at_index, table, index)
        ask(Atspi.Table.get_column_at_index, table, index)
    for call in [Atspi.Table.get_selected_rows, Atspi.Table.get_selected_columns, Atspi.Table.get_caption,
                 Atspi.Table.get_summary, Atspi.Table.get_n_selected_rows]:
        ask(call, table)


def walk(node, seen, depth=0):
    """Reads every control under node: name, role and text, and a table's cells in and out of bounds."""
    if node is None or depth > 40:
        return
    seen.append((ask(node.get_role_name), ask(node.get_name), text_of(node)))
    for call in [node.get_description, node.get_state_set, node.get_index_in_parent, node.get_parent,
                 node.get_attributes]:
        ask(call)
    if ask(node.get_table_iface) is not None:
        probe_table(node)
    count = ask(node.get_child_count) or 0
    for i in range(count):
        walk(ask(node.get_child_at_index, i), seen, depth + 1)
    ask(node.get_child_at_index, count)  # one past the end, as a reader's off-by-one would ask


def find(node, role, name):
    if node is None:
        return None
    if ask(node.get_role_name) == role and ask(node.get_name) == name:
        return node
    for i in range(ask(node.get_child_count) or 0):
        found = find(ask(node.get_child_at_index, i), role, name)
        if found is not None:
            return found
    return None


def labels_of(node):
    """The texts of the labels a control is labelled by, as a reader hears them before the control."""
    texts = []
    for relation in ask(node.get_relation_set) or []:
        if relation.get_relation_type() == Atspi.RelationType.LABELLED_BY:
            for i in range(relation.get_n_targets()):
                texts.append((ask(relation.get_target(i).get_name) or "").strip())
    return texts


def find_heard(node, role, name):
    """The control of that role heard as name: by its own name, or by the label it is labelled by (a combo
    box's own name is its text on this desktop)."""
    if node is None:
        return None
    if ask(node.get_role_name) == role and (ask(node.get_name) == name or name in labels_of(node)):
        return node
    for i in range(ask(node.get_child_count) or 0):
        found = find_heard(ask(node.get_child_at_index, i), role, name)
        if found is not None:
            return found
    return None


def heard(node, seen, expected):
    """Fails unless every (role, name) pair is what a reader hears for one of the controls under node."""
    for role, name in expected:
        if find_heard(node, role, name) is None:
            fail("nothing heard as %s %r among: %s" % (role, name, sorted({(r, n) for r, n, _ in seen})))


def ask_all_properties(app):
    """Asks the program's bridge for every property of its root at once, over the accessibility bus."""
    session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                                GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, 5000, None).unpack()[0]
    bus = Gio.DBusConnection.new_for_address_sync(
        address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
        None, None)
    def call(name, path, interface, member, args, reply):
        return bus.call_sync(name, path, interface, member, args, reply and GLib.VariantType(reply),
                             Gio.DBusCallFlags.NONE, 5000, None).unpack()

    dbus = ("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus")
    pid = app.get_process_id()
    names = [name for name in call(*dbus, "ListNames", None, "(as)")[0] if name.startswith(":")]
    owner = [name for name in names
             if call(*dbus, "GetConnectionUnixProcessID", GLib.Variant("(s)", (name,)), "(u)")[0] == pid]
    if not owner:
        fail("no connection of the program on the accessibility bus")
    for interface in ["org.a11y.atspi.Accessible", "org.a11y.atspi.Application", ""]:
        try:
            call(owner[0], "/org/a11y/atspi/accessible/root", "org.freedesktop.DBus.Properties", "GetAll",
                 GLib.Variant("(s)", (interface,)), None)
        except GLib.Error:
            pass  # an error reply is an answer; only the program's end counts


def main():
    program = subprocess.Popen([sys.argv[1]], env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                                       QT_QPA_PLATFORM="xcb"))
    try:
        app = wait_for("Wardel application", application, program)
        main_window = wait_for("main window", lambda: window(app, "Wardel"), program)
        ask_all_properties(app)
        seen = []
        walk(main_window, seen)
        grid = find(main_window, "table", "Hosts")
        if grid is None:
            fail("no grid among %d controls (program: %s): %s" % (len(seen), program.poll(), seen))
        if not any(role == "table cell" and name == "127.0.0.1" for role, name, _ in seen):
            fail("the grid's cells do not read as the host table")
        heard(main_window, seen, [("push button", "Add"), ("text", "Host Name / IP Address"),
                                  ("combo box", "Port"), ("text", "Log")])
        button = find(main_window, "push button", "Alert Settings")
        if button is None:
            fail("no Alert Settings button")
        ask(Atspi.Action.do_action, button, 0)
        dialog = wait_for("settings dialog", lambda: window(app, "Wardel  Settings"), program)
        if ask(dialog.get_name) != "Wardel  Settings":
            fail("the settings dialog is heard as %r" % ask(dialog.get_name))
        in_dialog = []
        walk(dialog, in_dialog)
        seen += in_dialog
        heard(dialog, seen, [("check box", "Enable Alert - Textora Member Only"), ("push button", "Save and Login"),
                             ("password text", "Password"), ("link", "Click to get SMS to try"),
                             ("link", "Click to Reset")])
        links = [name for role, name, _ in in_dialog if role == "link"]
        if len(links) != 3:  # the two above and the gateway's web address
            fail("the settings dialog's links are heard as %r" % links)
        ask_all_properties(app)
        if program.poll() is not None:
            fail("the program ended (%s) while being read" % program.returncode)
        print("read %d controls" % len(seen), flush=True)
    finally:
        if program.poll() is None:
            program.send_signal(signal.SIGTERM)
        try:
            code = program.wait(10)
        except subprocess.TimeoutExpired:
            program.kill()
            fail("the program did not end on SIGTERM")
    if code != 0:
        fail("the program exited with %d" % code)
    print("PASS", flush=True)


if __name__ == "__main__":
    main()
