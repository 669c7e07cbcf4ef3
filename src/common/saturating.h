#pragma once

#include <cstdint>
#include <string_view>

namespace wardel {

// A text read as a 16-bit number the engine's way (leading number, halves to even). A number beyond the
// 16-bit range counts as the nearest end of it, so a hand-edited host list or settings file can neither
// stop the engine nor turn a huge pause into a negative one.
std::int16_t saturatedInt16(std::string_view text);

} // namespace wardel
