#include "text/numbers.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/unit_checks.h"

namespace quillet {
namespace {

TEST(LeadingNumber, ReadsUpToTheFirstCharacterThatCannotContinue) {
    const std::pair<const char*, double> cases[] = {
        {" 12abc", 12}, {".5", 0.5}, {"1.2.3", 1.2}, {"- 4 . 5", -4.5},  // blanks are skipped wherever they stand
        {"", 0},        {"-", 0},    {".", 0},       {"--1", 0}, {"e2", 0},
        {"25E-1x", 2.5}, {"1D3", 1000}, {"5e", 5},  // no digits: the mark is not part of the number
        {"1e-999", 0},  {"0e999", 0},
    };
    for (const auto& [text, number] : cases) EXPECT_EQ(read_leading_number(text), number) << text;
}

TEST(Int16, RoundsHalvesToEven) {
    const std::pair<double, std::int16_t> cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.51, 3}, {32767.4, 32767}, {-32768.5, -32768}};
    for (const auto& [value, rounded] : cases) EXPECT_EQ(round_to_int16(value), rounded) << value;
    // int16_from_text, the two in one, is ParseJobOptions.ReadsEveryOptionAsTheSyntaxTells'.
    EXPECT_EQ(add_int16(32766, 1), 32767);
    EXPECT_EQ(subtract_int16(-32767, 1), -32768);
}

TEST(Int16, LeavingTheRangeOverflows) {
    const std::function<void()> calls[] = {
        [] { read_leading_number("1e999"); }, [] { read_leading_number("0.001e312"); },
        [] { round_to_int16(32767.5); },      [] { round_to_int16(-32768.6); },
        [] { add_int16(32767, 1); },          [] { subtract_int16(-32768, 1); },
        [] { checked_int16(40000); },         [] { round_to_int16(std::numeric_limits<double>::quiet_NaN()); },
    };
    for (const auto& call : calls) EXPECT_EQ(testing::described(testing::raised(call)), "6 : Overflow");
}

// An hour past 99 (a negative /M rounds beyond the day) keeps all its digits. The
// zeros that lead to the width are Dates.FormattingAndIsoDateText's.
TEST(Digits, NoDigitIsCut) {
    EXPECT_EQ(two_digits(546), "546");
}

}  // namespace
}  // namespace quillet
