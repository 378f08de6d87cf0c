#include "ui/models/msgbox_window.h"

#include <gtest/gtest.h>

#include "text/unicode.h"

namespace quillet {
namespace {

std::string trimmed(std::string_view message) {
    return unicode::encode(TrimTrailingMarkers(unicode::decode(message)));
}

TEST(MsgBoxTrim, DropsAMarkerTailOnlyWhenItStartsWithAnAt) {
    EXPECT_EQ(trimmed("done@@12 "), "done");
    EXPECT_EQ(trimmed("done 12"), "done 12");
    EXPECT_EQ(trimmed("done 1@2\r\n"), "done 1");  // cut at the first "@" of the tail
    EXPECT_EQ(trimmed("a@b@"), "a@b");
    EXPECT_EQ(trimmed("@12 @"), "@12 @");  // nothing but markers: kept whole
    EXPECT_EQ(trimmed(""), "");
}

MessageLines lines_of(std::string_view message) { return BuildMessageLines(unicode::decode(message), 77); }

TEST(MsgBoxLines, LineBreakMarkersBecomeCrLfAndAreCounted) {
    EXPECT_EQ(lines_of("Line one@Line two").text, "Line one\r\nLine two");
    EXPECT_EQ(lines_of("Line one@Line two").lines, 2);
    EXPECT_EQ(lines_of("a\r\nb").text, "a\r\nb");
    EXPECT_EQ(lines_of("a\r\nb").lines, 2);  // the pair counts once
    EXPECT_EQ(lines_of("a\nb").text, "a\r\nb");
    EXPECT_EQ(lines_of("a\rb").text, "a\rb");
    EXPECT_EQ(lines_of("a\rb").lines, 2);
    EXPECT_EQ(lines_of("a@\nb").lines, 3);  // an LF after "@" is a break of its own
    EXPECT_EQ(lines_of("").lines, 1);
}

TEST(MsgBoxLines, LongLinesCountTheTextBoxsOwnWrapping) {
    EXPECT_EQ(CharactersPerLine(6135), 77);
    EXPECT_EQ(lines_of(std::string(77, 'x')).lines, 1);
    EXPECT_EQ(lines_of(std::string(78, 'x')).lines, 2);
    EXPECT_EQ(lines_of(std::string(100, 'x')).text, std::string(100, 'x'));  // nothing inserted
    EXPECT_EQ(lines_of(std::string(155, 'x')).lines, 3);
    // Characters, not bytes: 77 letters of two bytes each still fit one line.
    std::string wide;
    for (int i = 0; i < 77; ++i) wide += "\xC3\xA9";
    EXPECT_EQ(lines_of(wide).lines, 1);
}

TEST(MsgBoxWindowLoad, ReadsKindCountdownAndGrowsForEachExtraLine) {
    const MsgBoxWindow one("1   0Just one line", "Quillet ");
    EXPECT_EQ(one.Icon(), MsgBoxIcon::critical);
    EXPECT_EQ(one.Title(), "Quillet ");
    EXPECT_EQ(one.Text(), "Just one line");
    EXPECT_FALSE(one.CountingDown());
    EXPECT_EQ(one.Layout(), MsgBoxLayout{});

    const MsgBoxWindow two("2   0Line one@Line two", "");
    EXPECT_EQ(two.Icon(), MsgBoxIcon::exclamation);
    EXPECT_EQ(two.Layout().client_height, 1455 + 255);
    EXPECT_EQ(two.Layout().txtMessage.height, 510);
    EXPECT_EQ(two.Layout().cmdOk.top, 960 + 255);
    EXPECT_EQ(two.Layout().cmdPrint.top, 1080 + 255);
    EXPECT_EQ(two.Layout().lblCountDown.top, 1020 + 255);

    const MsgBoxWindow long_line("3   0" + std::string(100, 'x'), "");
    EXPECT_EQ(long_line.Icon(), MsgBoxIcon::information);
    EXPECT_EQ(long_line.Layout().client_height, 1455 + 255);

    const MsgBoxWindow trimmed_tail("3   0done@@12 ", "");
    EXPECT_EQ(trimmed_tail.Text(), "done");
    EXPECT_EQ(trimmed_tail.Lines(), 1);
}

TEST(MsgBoxWindowCountdown, CountsDownOnceASecondAndClosesAtZero) {
    MsgBoxWindow box("1  30Disk full", "");
    ASSERT_TRUE(box.CountingDown());
    EXPECT_EQ(box.CountDown(), 30);
    for (int second = 1; second < 30; ++second) {
        box.Tick();
        ASSERT_FALSE(box.Closed()) << second;
    }
    EXPECT_EQ(box.CountDown(), 1);
    box.Tick();
    EXPECT_TRUE(box.Closed());
}

TEST(MsgBoxWindowCountdown, EscapeStopsItAndOnlyOkCloses) {
    MsgBoxWindow box("1  30Disk full", "");
    box.Tick();
    box.Tick();
    box.PressEscape();
    EXPECT_FALSE(box.CountingDown());
    EXPECT_EQ(box.CountDown(), 28);
    for (int second = 0; second < 40; ++second) box.Tick();
    EXPECT_FALSE(box.Closed());
    box.PressOk();
    EXPECT_TRUE(box.Closed());
    EXPECT_EQ(box.CountDown(), 0);
}

TEST(MsgBoxWindowCountdown, WithoutCountdownTicksDoNothing) {
    MsgBoxWindow box("3   0Saved", "");
    box.Tick();
    EXPECT_FALSE(box.Closed());
    EXPECT_FALSE(box.CountingDown());
}

}  // namespace
}  // namespace quillet
