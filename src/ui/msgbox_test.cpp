#include "ui/msgbox.h"

#include <gtest/gtest.h>

#include "ui/busy.h"
#include "support/recording_front_end.h"

namespace quillet {
namespace {

TEST(MsgBoxRequestText, KindThenCountdownInFourCharactersThenText) {
    EXPECT_EQ(ComposeMsgBoxRequest("1", 0, "Text"), "1   0Text");
    EXPECT_EQ(ComposeMsgBoxRequest("2", 30, "Text"), "2  30Text");
    EXPECT_EQ(ComposeMsgBoxRequest("3", 9999, ""), "39999");
    EXPECT_EQ(ComposeMsgBoxRequest("3", 12345, ""), "39999");
    EXPECT_EQ(ComposeMsgBoxRequest("3", -5, ""), "3   0");
}

// A text of the given length in characters with blanks at the given positions
// (counted from 1).
std::string text_with_blanks(std::size_t length, std::initializer_list<std::size_t> blanks) {
    std::string text(length, 'x');
    for (const std::size_t position : blanks) text[position - 1] = ' ';
    return text;
}

TEST(MsgBoxSplit, TextsFrom1250CharactersAreSplitAtTheLastBreakUpTo990) {
    EXPECT_FALSE(SplitLongMessage(text_with_blanks(1249, {500})));

    const auto at_blank = SplitLongMessage(text_with_blanks(1250, {500, 990, 991}));
    ASSERT_TRUE(at_blank);
    EXPECT_EQ(at_blank->first, text_with_blanks(990, {500, 990}) + "...(contd)");
    EXPECT_EQ(at_blank->rest, text_with_blanks(260, {1}));

    std::string with_line_end = text_with_blanks(1300, {});
    with_line_end[700] = '\n';
    const auto at_line_end = SplitLongMessage(with_line_end);
    ASSERT_TRUE(at_line_end);
    EXPECT_EQ(at_line_end->first.size(), 701u + 10u);
    EXPECT_EQ(at_line_end->rest.size(), 599u);

    const auto only_later_blank = SplitLongMessage(text_with_blanks(1250, {991}));
    ASSERT_TRUE(only_later_blank);
    EXPECT_EQ(only_later_blank->first, text_with_blanks(1240, {991}) + "...(contd)");
    EXPECT_EQ(only_later_blank->rest, std::string(10, 'x'));

    EXPECT_TRUE(SplitLongMessage(text_with_blanks(1250, {1})));  // the first character counts
    EXPECT_EQ(SplitLongMessage(text_with_blanks(1250, {1}))->first, " ...(contd)");
}

TEST(MsgBoxSplit, CountsCharactersNotBytes) {
    std::string text;
    for (int i = 0; i < 1249; ++i) text += "\xC3\xA9";  // 1249 characters, 2498 bytes
    EXPECT_FALSE(SplitLongMessage(text));
    text += "\xC3\xA9";
    const auto parts = SplitLongMessage(text);
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->first.size(), 1240u * 2 + 10);  // never a character cut in two
}

class MsgBoxShowTest : public ::testing::Test {
protected:
    testing::RecordingFrontEnd screen;
    FrontEndScope installed{screen};
};

TEST_F(MsgBoxShowTest, LongTextShowsTwoBoxesOfTheSameKindAndCountdown) {
    lib_MsgBoxWarning(text_with_blanks(1300, {100}), 5);
    ASSERT_EQ(screen.boxes.size(), 2u);
    EXPECT_EQ(screen.boxes[0].text, text_with_blanks(100, {100}) + "...(contd)");
    EXPECT_EQ(screen.boxes[1].text, std::string(1200, 'x'));
    for (const auto& box : screen.boxes) {
        EXPECT_EQ(box.icon, MsgBoxIcon::exclamation);
        EXPECT_EQ(box.countdown, 5);
    }
    EXPECT_EQ(screen.beeps, 1);
}

TEST_F(MsgBoxShowTest, KindsBeepAndTitle) {
    screen.titles[kMainWindow] = "Copying...";
    lib_MsgBoxError("e");
    lib_MsgBoxInfo("i");
    EXPECT_EQ(screen.events, (std::vector<std::string>{"beep", "box", "box"}));
    EXPECT_EQ(screen.boxes[0].icon, MsgBoxIcon::critical);
    EXPECT_EQ(screen.boxes[1].icon, MsgBoxIcon::information);
    EXPECT_EQ(screen.boxes[0].title, "Copying...");
    EXPECT_EQ(MsgBoxRequest, "3   0i");

    screen.titles.erase(kMainWindow);
    screen.titles[kForegroundWindow] = "Other";
    lib_MsgBoxInfo("i");
    EXPECT_EQ(screen.boxes[2].title, "Other");
}

TEST_F(MsgBoxShowTest, APasswordInQuotedCommandLineTextNeverShows) {
    lib_MsgBoxError("Command File C:\\src\\*.* D:\\bak /Z=secret -  not found");
    EXPECT_EQ(screen.boxes.at(0).text, "Command File C:\\src\\*.* D:\\bak /Z=*** -  not found");
}

TEST_F(MsgBoxShowTest, ThePointerIsNormalWhileTheBoxIsUpAndRestoredAfter) {
    lib_basDisplay::lib_SetBusy(true);
    lib_MsgBoxInfo("Working");
    EXPECT_FALSE(screen.boxes[0].busy_while_up);
    EXPECT_TRUE(lib_basDisplay::BusyState);
    EXPECT_TRUE(screen.busy);
    lib_basDisplay::lib_SetBusy(false);
}

TEST_F(MsgBoxShowTest, AMinimisedWindowIsRestoredFirst) {
    screen.minimised.insert(kForegroundWindow);
    lib_MsgBoxInfo("Done");
    EXPECT_EQ(screen.events, (std::vector<std::string>{"restore", "box"}));
}

}  // namespace
}  // namespace quillet
