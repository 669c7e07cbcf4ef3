#include <gtest/gtest.h>

#include <string>

#include "common/utf8.h"

namespace wardel {
namespace {

TEST(Utf8, ToValidKeepsAsciiAndWellFormedTextAndReplacesEachIllFormedPart) {
    const std::string fffd = "\xEF\xBF\xBD";
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"", ""},
        {"25\r\nline two\r\n", "25\r\nline two\r\n"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {"Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x93\xB1", "Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x93\xB1"},
        {"\x80", fffd}, // a continuation byte on its own
        {"1\x80"
         "2",
         "1" + fffd + "2"},
        {"ok\x81", "ok" + fffd},                         // a reply cut after a lead-like byte keeps its text
        {"\xC3", fffd},                                  // two-byte sequence cut short by the end of the body
        {"\xE2\x82", fffd},                              // one replacement for the whole cut-short sequence
        {"\xE2\x82x", fffd + "x"},                       // the byte that breaks a sequence is read again
        {"\xC0\xAF", fffd + fffd},                       // overlong "/"
        {"\xED\xA0\x80", fffd + fffd + fffd},            // a surrogate
        {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd}, // above U+10FFFF
        {"\xFF\xFE", fffd + fffd},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8::toValid(c.bytes), c.text) << testing::PrintToString(c.bytes);
}

} // namespace
} // namespace wardel
