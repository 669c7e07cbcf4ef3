#include <gtest/gtest.h>

#include <cmath>

#include "app/numbers.h"
#include "app/time_format.h"

namespace wardel {
namespace {

TEST(NumbersFromText, LeadingNumber) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"42", 42},     {"  12abc", 12}, {"-0.5", -0.5},  {".5", 0.5},   {"1e3", 1000},  {"abc", 0},
        {"", 0},        {"1 2", 12},     {"+7", 7},       {"1.2.3", 1.2}, {"1e", 1},      {"1e+", 1},
        {"2E-1x", 0.2}, {"-", 0},        {"+-3", 0},      {"e5", 0},      {"\t 3,5", 3},  {"0x10", 0},
        {"1e-400", 0},  {"12 remark", 12},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::isinf(LeadingNumber("1e400")));
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
        EXPECT_EQ(LeadingNumber(c.text), c.value) << c.text.substr(0, 20) << "... of " << c.text.size();
}

TEST(NumbersFromText, RoundsHalvesToEvenAndRefusesOverflow) {
    const struct {
        const char* text;
        std::optional<std::int16_t> value;
    } cases[] = {
        {"0.5", 0},        {"1.5", 2},          {"2.5", 2},      {"-0.5", 0},       {"-1.5", -2},
        {"32767", 32767},  {"32767.4", 32767},  {"32767.5", {}}, {"-32768", -32768}, {"-32768.5", -32768},
        {"-32769", {}},    {"40000", {}},       {"1e400", {}},   {"abc", 0},         {" 30 ", 30},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToInt16(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(ToInt32("65535"), 65535);
    EXPECT_EQ(ToInt32("2147483648"), std::nullopt);
    EXPECT_EQ(ToInt32("?\?\?\?"), 0);
}

TEST(TimeFormats, TwoDigitsEachOnA24HourClock) {
    const LocalDateTime t{2026, 12, 6, 7, 5, 9};
    EXPECT_EQ(FormatDateTime(t), "2026-12-06 07:05:09");
    EXPECT_EQ(FormatTime(t), "07:05:09");
    EXPECT_EQ(FormatHourMinute({2027, 1, 1, 0, 0, 25}), "00:00");
    EXPECT_EQ(FormatMonthDay(t), "1206");
    EXPECT_EQ(FormatMonthDay({2027, 1, 1, 23, 0, 0}), "0101");
}

}  // namespace
}  // namespace wardel
