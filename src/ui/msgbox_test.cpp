#include "ui/msgbox.h"

#include <gtest/gtest.h>

#include "ui/busy.h"
#include "support/recording_front_end.h"

namespace quillet {
namespace {

TEST(MsgBoxRequestText, KindThenCountdownInFourCharactersThenText) {
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

std::string accents(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += "\xC3\xA9";
    return text;
}

TEST(MsgBoxSplit, TextsFrom1250CharactersAreSplitAtTheLastBreakUpTo990) {
    struct Case {
        std::string text;
        std::string first;  // empty: not split
        std::string rest;
    };
    const std::string x700(700, 'x');
    const Case cases[] = {
        {text_with_blanks(1249, {500}), "", ""},
        {text_with_blanks(1250, {500, 990, 991}), text_with_blanks(990, {500, 990}), text_with_blanks(260, {1})},
        {x700 + "\n" + std::string(599, 'x'), x700 + "\n", std::string(599, 'x')},
        {text_with_blanks(1250, {991}), text_with_blanks(1240, {991}), std::string(10, 'x')},
        {text_with_blanks(1250, {1}), " ", std::string(1249, 'x')},  // the first character counts
        {accents(1249), "", ""},                                      // characters, not bytes
        {accents(1250), accents(1240), accents(10)},                  // never a character cut in two
    };
    for (const Case& c : cases) {
        const auto parts = SplitLongMessage(c.text);
        EXPECT_EQ(parts ? parts->first : "", c.first.empty() ? "" : c.first + "...(contd)") << c.first;
        EXPECT_EQ(parts ? parts->rest : "", c.rest) << c.first;
    }
}

// The pointer is normal while a box is up and busy again after it.
TEST(MsgBoxShow, ErrorsBeepOverARestoredWindowUnderItsTitleAndPasswordsNeverShow) {
    testing::RecordingFrontEnd screen;
    const FrontEndScope installed(screen);
    lib_basDisplay::lib_SetBusy(true);
    screen.titles[kMainWindow] = "Copying...";
    screen.minimised.insert(kForegroundWindow);
    lib_MsgBoxError("Command File C:\\src\\*.* D:\\bak /Z=secret -  not found");
    lib_MsgBoxInfo("i");
    EXPECT_EQ(screen.events, (std::vector<std::string>{"beep", "restore", "box", "box"}));
    EXPECT_EQ(screen.boxes[0].icon, MsgBoxIcon::critical);
    EXPECT_EQ(screen.boxes[0].title, "Copying...");
    EXPECT_FALSE(screen.boxes[0].busy_while_up);
    EXPECT_TRUE(screen.busy);
    lib_basDisplay::lib_SetBusy(false);
    EXPECT_EQ(screen.boxes[0].text, "Command File C:\\src\\*.* D:\\bak /Z=*** -  not found");
    EXPECT_EQ(screen.boxes[1].icon, MsgBoxIcon::information);
    EXPECT_EQ(MsgBoxRequest, "3   0i");

    screen.titles.erase(kMainWindow);
    screen.titles[kForegroundWindow] = "Other";
    lib_MsgBoxInfo("i");
    EXPECT_EQ(screen.boxes[2].title, "Other");
}

}  // namespace
}  // namespace quillet
