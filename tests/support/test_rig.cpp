#include "support/test_rig.h"

namespace wardel::test {

TestRig::TestRig(LocalDateTime start, const std::string& subfolder)
    : FakePlatform(start), port(platform, subfolder.empty() ? folder.path() : folder / subfolder),
      settings(port.settings()), runtime(port.runtime()), controls(port.controls()), grid(port.grid()),
      logBox(port.logBox()), log(port.eventLog()) {}

std::vector<std::string> TestRig::logLines() const {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < logBox.lineCount(); ++i)
        lines.push_back(logBox.line(i));
    return lines;
}

} // namespace wardel::test
