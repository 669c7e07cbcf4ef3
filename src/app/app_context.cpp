#include "app/app_context.h"

namespace wardel {

AppContext::AppContext(Platform& p, std::filesystem::path programFolder)
    : platform(p), folder(std::move(programFolder)), log(p.clock, settings, logBox, folder),
      Timer1(p.timers.createTimer(1000, false)), Timer2(p.timers.createTimer(1000, false)),
      Timer3(p.timers.createTimer(1000, false)), Timer4(p.timers.createTimer(35000, true)),
      Timer5(p.timers.createTimer(60000, true)) {}

}  // namespace wardel
