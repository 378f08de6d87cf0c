#include "text/numbers.h"

#include <gtest/gtest.h>

#include "text/vb_errors.h"

namespace quillet {
namespace {

void expect_overflow(auto&& call) {
    try {
        call();
        ADD_FAILURE() << "no overflow";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), vb::kOverflow);
        EXPECT_EQ(error.description(), "Overflow");
    }
}

TEST(LeadingNumber, ReadsUpToTheFirstCharacterThatCannotContinue) {
    EXPECT_EQ(read_leading_number(" 12abc"), 12);
    EXPECT_EQ(read_leading_number("-3.5"), -3.5);
    EXPECT_EQ(read_leading_number(".5"), 0.5);
    EXPECT_EQ(read_leading_number("1.2.3"), 1.2);
    EXPECT_EQ(read_leading_number("- 4 . 5"), -4.5);  // blanks are skipped wherever they stand
    for (const char* none : {"", "abc", "-", ".", "--1", "e2"}) EXPECT_EQ(read_leading_number(none), 0) << none;
}

TEST(LeadingNumber, Exponents) {
    EXPECT_EQ(read_leading_number("1e2"), 100);
    EXPECT_EQ(read_leading_number("25E-1x"), 2.5);
    EXPECT_EQ(read_leading_number("1D3"), 1000);
    EXPECT_EQ(read_leading_number("5e"), 5);      // no digits: the mark is not part of the number
    EXPECT_EQ(read_leading_number("1e-999"), 0);  // too small is zero
    EXPECT_EQ(read_leading_number("0e999"), 0);
    expect_overflow([] { read_leading_number("1e999"); });
    expect_overflow([] { read_leading_number("0.001e312"); });
}

TEST(Int16, RoundsHalvesToEven) {
    EXPECT_EQ(round_to_int16(2.5), 2);
    EXPECT_EQ(round_to_int16(3.5), 4);
    EXPECT_EQ(round_to_int16(-2.5), -2);
    EXPECT_EQ(round_to_int16(-3.5), -4);
    EXPECT_EQ(round_to_int16(2.51), 3);
    EXPECT_EQ(round_to_int16(32767.4), 32767);
    EXPECT_EQ(round_to_int16(-32768.5), -32768);
}

TEST(Int16, LeavingTheRangeOverflows) {
    expect_overflow([] { round_to_int16(32767.5); });
    expect_overflow([] { round_to_int16(-32768.6); });
    expect_overflow([] { int16_from_text("32768"); });
    expect_overflow([] { round_to_int16(std::numeric_limits<double>::quiet_NaN()); });
    expect_overflow([] { add_int16(32767, 1); });
    expect_overflow([] { subtract_int16(-32768, 1); });
    expect_overflow([] { checked_int16(40000); });
    EXPECT_EQ(int16_from_text("4.5 days"), 4);
    EXPECT_EQ(add_int16(32766, 1), 32767);
    EXPECT_EQ(subtract_int16(-32767, 1), -32768);
}

// An hour past 99 (a negative /M rounds beyond the day) keeps all its digits.
TEST(Digits, ZerosLeadToTheWidthButNoDigitIsCut) {
    EXPECT_EQ(two_digits(7), "07");
    EXPECT_EQ(two_digits(546), "546");
    EXPECT_EQ(four_digits(100), "0100");
}

}  // namespace
}  // namespace quillet
