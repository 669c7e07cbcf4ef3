#pragma once

namespace wardel::qt {

// Once the main window has unloaded, the program is over: no timer tick, socket state change or URL
// completion may reach the monitor any more, even if Qt still delivers one before the event loop returns.
// Every Qt adapter asks programEnded() before it calls into the monitor.
inline bool& programEndedFlag() {
    static bool ended = false;
    return ended;
}
inline bool programEnded() {
    return programEndedFlag();
}
inline void markProgramEnded() {
    programEndedFlag() = true;
}

} // namespace wardel::qt
