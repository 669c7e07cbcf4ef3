#pragma once

namespace wardel {

// The main window as a window: visibility, state and place on the screen, and the end of the program.
class WindowPort {
public:
    virtual ~WindowPort() = default;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool visible() const = 0;
    virtual void setNormalState() = 0;
    virtual void bringToFront() = 0;
    // Centres the window on its screen.
    virtual void center() = 0;
    // Ends the program after the current event: no further handler runs.
    virtual void endProgram() = 0;
};

} // namespace wardel
