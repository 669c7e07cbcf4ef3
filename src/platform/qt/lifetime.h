#pragma once

namespace wardel::qt {

// Once the main window has unloaded, the program is over: no timer tick, socket state change or URL
// completion may reach the monitor any more, even if Qt still delivers one before the event loop returns.
// Every Qt adapter asks ProgramEnded() before it calls into the monitor.
inline bool& ProgramEndedFlag() {
    static bool ended = false;
    return ended;
}
inline bool ProgramEnded() { return ProgramEndedFlag(); }
inline void MarkProgramEnded() { ProgramEndedFlag() = true; }

}  // namespace wardel::qt
