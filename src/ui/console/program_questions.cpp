#include "ui/console/program_questions.h"

#include <ostream>

#include "platform/platform.h"
#include "ui/console/console_front_end.h"
#include "ui/syntax.h"
#include "ui/version.h"

namespace quillet {

namespace {

// An answer that could not be written (a full disk, a closed output) is no answer.
int answered(const std::ostream& out) { return out.good() ? 0 : 1; }

}  // namespace

std::optional<int> AnswerProgramQuestion(const std::vector<std::string>& arguments, std::ostream& out) {
    if (arguments.size() != 1) return std::nullopt;
    const std::string& question = arguments.front();
    if (question == "--help" || question == "-h" || question == "/?") {
        out << AsConsoleLines(SyntaxText(ProgramNameForSyntax(platform::executable_name()))) << '\n' << std::flush;
        return answered(out);
    }
    if (question == "--version") {
        out << "quillet " << VersionText() << '\n' << std::flush;
        return answered(out);
    }
    return std::nullopt;
}

}  // namespace quillet
