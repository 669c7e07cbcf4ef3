#include "ui/qt_program.h"

#include <QApplication>

namespace wardel::qt {

QtProgram::QtProgram(std::filesystem::path folder)
    : tray_(QApplication::windowIcon()), platform_{clock_,    timers_, socket_, mainReader_, creditReader_,
                                                   messages_, tray_,   shell_,  window_},
      port_(platform_, std::move(folder)) {
    messages_.setParentWidget(&window_);
    shell_.setParentWidget(&window_);
    window_.attach(port_);
}

QtProgram::~QtProgram() {
    window_.detach();
}

} // namespace wardel::qt
