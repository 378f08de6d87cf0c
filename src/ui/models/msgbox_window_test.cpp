#include "ui/models/msgbox_window.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

// The message as the box shows it, with the lines it counts for its height:
// a tail of markers trimmed, "@" and a lone LF made CR LF, long lines wrapped at
// 77 characters (its text box's 6135 twips).
TEST(MsgBoxWindow, TheTextIsTrimmedBrokenAndItsLinesCounted) {
    struct Case {
        std::string message;
        std::string text;
        std::int32_t lines;
    };
    std::string wide;  // 77 letters of two bytes each: characters count, not bytes
    for (int i = 0; i < 77; ++i) wide += "\xC3\xA9";
    const Case cases[] = {
        {"done@@12 ", "done", 1},
        {"done 12", "done 12", 1},
        {"done 1@2\r\n", "done 1", 1},  // cut at the first "@" of the tail
        {"a@b@", "a\r\nb", 2},
        {"@12 @", "\r\n12 \r\n", 3},  // nothing but markers: kept whole
        {"", "", 1},
        {"a\r\nb", "a\r\nb", 2},  // the pair counts once
        {"a\nb", "a\r\nb", 2},
        {"a\rb", "a\rb", 2},
        {"a@\nb", "a\r\n\r\nb", 3},  // an LF after "@" is a break of its own
        {std::string(77, 'x'), std::string(77, 'x'), 1},
        {std::string(78, 'x'), std::string(78, 'x'), 2},  // nothing inserted
        {std::string(155, 'x'), std::string(155, 'x'), 3},
        {wide, wide, 1},
    };
    for (const Case& c : cases) {
        const MsgBoxWindow box("3   0" + c.message, "");
        EXPECT_EQ(std::pair(box.Text(), box.Lines()), std::pair(c.text, c.lines)) << c.message;
    }
}

// In twips; the window test checks the same growth in pixels. (The icon of each
// kind is the error handler's and the message box calls' tests'.)
TEST(MsgBoxWindow, EachExtraLineGrowsTheBox) {
    const MsgBoxWindow two("2   0Line one@Line two", "");
    EXPECT_EQ(two.Layout(), (MsgBoxLayout{7155, 1455 + 255, {840, 360, 6135, 510}, {3240, 960 + 255, 675, 375},
                                          {6720, 1080 + 255, 315, 255}, {6120, 1020 + 255, 555, 315}}));
}

}  // namespace
}  // namespace quillet
