#include "ui/log.h"

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/matchers.h"
#include "support/recording_front_end.h"
#include "text/error.h"

namespace quillet {
namespace {

TEST(LogMessage, LinesAreAppendedToTheLogFileStampedWhenAsked) {
    testing::RecordingFrontEnd screen;
    const FrontEndScope installed(screen);
    const testing::ScratchFolder folder;
    lib_LogMessage("first", std::nullopt, false, folder.text("run.log"));
    lib_LogMessage("Done", std::nullopt, false, folder.text("run.log"), true, "Copy");
    // The separators are the user's locale's.
    EXPECT_THAT(folder.read("run.log"),
                testing::MatchesExtendedRegex("first\r?\nCopy, [0-9]{2}.[0-9]{2}.[0-9]{2}, "
                                              "[0-9]{2}.[0-9]{2}.[0-9]{2}, Done\r?\n"));
    EXPECT_THROW(lib_LogMessage("lost", std::nullopt, false, folder.text("missing/run.log")), Error);
}

}  // namespace
}  // namespace quillet
