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

// The SMS cut, the grid's and the log box's shown part and the settings' checks count alike.
TEST(Utf8, CountsAndCutsAtCodePoints) {
    const struct {
        std::string text;
        std::size_t codePoints;
        std::size_t firstTwoBytes;
    } cases[] = {
        {"", 0, 0},          {"abc", 3, 2},       {"\xC3\xA9\xE2\x82\xAC!", 3, 5}, {"\xF0\x9F\x98\x80", 1, 4},
        {"\x80\x80x", 3, 2}, {"\xE2\x82x", 2, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8::countCodePoints(c.text), c.codePoints) << testing::PrintToString(c.text);
        EXPECT_EQ(utf8::prefixBytes(c.text, 2), c.firstTwoBytes) << testing::PrintToString(c.text);
    }
}

} // namespace
} // namespace wardel
