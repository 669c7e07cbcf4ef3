#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "common/numbers.h"
#include "common/time_format.h"

namespace wardel {
namespace {

TEST(NumbersFromText, LeadingNumber) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"42", 42},  {"  12abc", 12}, {"-0.5", -0.5}, {".5", 0.5}, {"1e3", 1000}, {"abc", 0},        {"", 0},
        {"1 2", 12}, {"+7", 7},       {"1.2.3", 1.2}, {"1e", 1},   {"1e+", 1},    {"2E-1x", 0.2},    {"-", 0},
        {"+-3", 0},  {"e5", 0},       {"\t 3,5", 3},  {"0x10", 0}, {"1e-400", 0}, {"12 remark", 12},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::isinf(leadingNumber("1e400")));
    // Out of range, the side is the number's own, whatever the exponent's sign says.
    EXPECT_TRUE(std::isinf(leadingNumber("1" + std::string(330, '0') + "e-1")));
    EXPECT_EQ(leadingNumber("0." + std::string(330, '0') + "1"), 0.0);
    EXPECT_EQ(leadingNumber("-0." + std::string(330, '0') + "1e+2"), 0.0);
    EXPECT_TRUE(std::isinf(leadingNumber("1e99999999999999999999999")));
}

// The characters a number is gathered from are read the way strtod reads them, out of range included.
TEST(NumbersFromText, AgreesWithStrtodOnGeneratedText) {
    std::mt19937 random(20261206);
    const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto run = [&](char c, int most) { return std::string(static_cast<std::size_t>(pick(most + 1)), c); };
    const auto digits = [&](int most) {
        std::string s = run('0', pick(2) ? most : 2);
        for (int n = pick(most + 1); n > 0; --n)
            s += static_cast<char>('0' + pick(10));
        return s;
    };
    const std::string alphabet = "0123456789.e+-";
    for (int i = 0; i < 5000; ++i) {
        std::string text;
        if (pick(4) == 0) {
            for (int n = pick(12); n > 0; --n)
                text += alphabet[static_cast<std::size_t>(pick(static_cast<int>(alphabet.size())))];
        } else {
            text = run('-', 1) + run('+', 1) + digits(400) + run('.', 1) + digits(400) + run('e', 1) + run('-', 1) +
                   run('+', 1) + digits(pick(2) ? 3 : 25) + run('.', 1) + digits(3);
        }
        const double expected = std::strtod(text.c_str(), nullptr);
        EXPECT_EQ(leadingNumber(text), expected) << '"' << text << '"';
        if (HasFailure())
            break;
    }
}

TEST(NumbersFromText, OutOfRangeReadsAsZeroWhenTinyAndInfinityWhenHuge) {
    const std::string zeros(400, '0');
    const struct {
        std::string text;
        double value;
    } cases[] = {
        {"0." + zeros + "1", 0.0},        {"-0." + zeros + "7", -0.0},          {"1" + zeros, HUGE_VAL},
        {"0.001" + zeros + "e-400", 0.0}, {"0.0" + zeros + "1e500", 1e98},      {"0." + zeros + "1e" + zeros, 0.0},
        {"1" + zeros + "e-50", HUGE_VAL}, {"1e99999999999999999999", HUGE_VAL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(leadingNumber(c.text), c.value) << c.text.substr(0, 20) << "... of " << c.text.size();
}

TEST(NumbersFromText, RoundsHalvesToEvenAndRefusesOverflow) {
    const struct {
        const char* text;
        std::optional<std::int16_t> value;
    } cases[] = {
        {"0.5", 0},       {"1.5", 2},         {"2.5", 2},      {"-0.5", 0},        {"-1.5", -2},
        {"32767", 32767}, {"32767.4", 32767}, {"32767.5", {}}, {"-32768", -32768}, {"-32768.5", -32768},
        {"-32769", {}},   {"40000", {}},      {"1e400", {}},   {"abc", 0},         {" 30 ", 30},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toInt16(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(toInt32("65535"), 65535);
    EXPECT_EQ(toInt32("2147483648"), std::nullopt);
    EXPECT_EQ(toInt32("?\?\?\?"), 0);
}

TEST(TimeFormats, TwoDigitsEachOnA24HourClock) {
    const LocalDateTime t{2026, 12, 6, 7, 5, 9};
    EXPECT_EQ(formatDateTime(t), "2026-12-06 07:05:09");
    EXPECT_EQ(formatTime(t), "07:05:09");
    EXPECT_EQ(formatHourMinute({2027, 1, 1, 0, 0, 25}), "00:00");
    EXPECT_EQ(formatMonthDay(t), "1206");
    EXPECT_EQ(formatMonthDay({2027, 1, 1, 23, 0, 0}), "0101");
}

} // namespace
} // namespace wardel
