#pragma once

namespace wardel {

class Clock;
class TimerSource;
class ProbeSocket;
class UrlFetcher;
class MessageBox;
class TrayIcon;
class Shell;
class WindowPort;
class DesktopNotifier;

// The outside world as the monitor sees it: Qt in the program, fakes in the tests. Built with designated
// initialisers, so a seam added or moved here cannot land in another's place.
struct Platform {
    Clock& clock;
    TimerSource& timers;
    ProbeSocket& socket;      // sckHotMon
    UrlFetcher& mainReader;   // under AsyncRead1
    UrlFetcher& creditReader; // under AsyncRead2
    MessageBox& messages;
    TrayIcon& tray;
    Shell& shell;
    WindowPort& window;
    DesktopNotifier& notifier;
    UrlFetcher* alertReader = nullptr; // Alertmanager's posts; none, no forwarding
};

} // namespace wardel
