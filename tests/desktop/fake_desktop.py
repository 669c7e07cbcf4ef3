#!/usr/bin/python3
"""Stand-ins for a desktop's services on a private session bus, for Wardel's tests.

  fake_desktop.py watcher        a StatusNotifierItem watcher with a host registered (a Plasma-like tray)
  fake_desktop.py notifications  a notification service
Both may be named. One line per event on stdout: "ready" once the names are owned, "item <service>" for
each registered tray item, "notify <json>" for each notification (with the id it got). Ends with its bus.
"""
import json
import sys

from gi.repository import Gio, GLib

WATCHER = "org.kde.StatusNotifierWatcher"
NOTIFICATIONS = "org.freedesktop.Notifications"

WATCHER_XML = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>"""

NOTIFICATIONS_XML = """
<node>
  <interface name="org.freedesktop.Notifications">
    <method name="Notify">
      <arg name="app_name" type="s" direction="in"/>
      <arg name="replaces_id" type="u" direction="in"/>
      <arg name="app_icon" type="s" direction="in"/>
      <arg name="summary" type="s" direction="in"/>
      <arg name="body" type="s" direction="in"/>
      <arg name="actions" type="as" direction="in"/>
      <arg name="hints" type="a{sv}" direction="in"/>
      <arg name="expire_timeout" type="i" direction="in"/>
      <arg name="id" type="u" direction="out"/>
    </method>
    <method name="GetCapabilities"><arg type="as" direction="out"/></method>
    <method name="CloseNotification"><arg name="id" type="u" direction="in"/></method>
    <method name="GetServerInformation">
      <arg type="s" direction="out"/><arg type="s" direction="out"/>
      <arg type="s" direction="out"/><arg type="s" direction="out"/>
    </method>
  </interface>
</node>"""

items = []
notices = [0]


def say(line):
    print(line, flush=True)


def watcher_call(connection, sender, path, interface, method, parameters, invocation):
    if method == "RegisterStatusNotifierItem":
        service = parameters.unpack()[0]
        # An item may name itself by its object path; then its bus name is the sender's.
        if service.startswith("/"):
            service = sender
        items.append(service)
        say("item " + service)
        connection.emit_signal(None, "/StatusNotifierWatcher", WATCHER, "StatusNotifierItemRegistered",
                               GLib.Variant("(s)", (service,)))
    invocation.return_value(None)


def watcher_property(connection, sender, path, interface, name):
    if name == "RegisteredStatusNotifierItems":
        return GLib.Variant("as", items)
    if name == "IsStatusNotifierHostRegistered":
        return GLib.Variant("b", True)
    return GLib.Variant("i", 0)


def notifications_call(connection, sender, path, interface, method, parameters, invocation):
    if method == "Notify":
        app, replaces, icon, summary, body, actions, hints, timeout = parameters.unpack()
        notices[0] += 1
        # A replacing notice keeps the id of the one it replaces.
        shown = replaces or notices[0]
        say("notify " + json.dumps({"app": app, "id": shown, "replaces": replaces, "icon": icon, "summary": summary,
                                    "body": body, "hints": hints, "timeout": timeout}))
        invocation.return_value(GLib.Variant("(u)", (shown,)))
    elif method == "GetCapabilities":
        invocation.return_value(GLib.Variant("(as)", (["body"],)))
    elif method == "GetServerInformation":
        invocation.return_value(GLib.Variant("(ssss)", ("fake", "wardel tests", "1", "1.2")))
    else:
        invocation.return_value(None)


def own(bus, name):
    reply = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
                          GLib.Variant("(su)", (name, 4)), GLib.VariantType("(u)"), Gio.DBusCallFlags.NONE, -1, None)
    if reply.unpack()[0] != 1:
        sys.exit("could not own " + name)


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    if "watcher" in sys.argv[1:]:
        info = Gio.DBusNodeInfo.new_for_xml(WATCHER_XML).interfaces[0]
        bus.register_object("/StatusNotifierWatcher", info, watcher_call, watcher_property, None)
        own(bus, WATCHER)
    if "notifications" in sys.argv[1:]:
        info = Gio.DBusNodeInfo.new_for_xml(NOTIFICATIONS_XML).interfaces[0]
        bus.register_object("/org/freedesktop/Notifications", info, notifications_call, None, None)
        own(bus, NOTIFICATIONS)
    say("ready")
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
