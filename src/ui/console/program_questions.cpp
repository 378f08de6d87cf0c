#include "ui/console/program_questions.h"

#include <ostream>

#include "platform/platform.h"
#include "ui/console/console_front_end.h"
#include "ui/syntax.h"
#include "ui/version.h"

namespace quillet {

std::optional<int> AnswerProgramQuestion(const std::vector<std::string>& arguments, std::ostream& out) {
    if (arguments.size() != 1) return std::nullopt;
    const std::string& question = arguments.front();
    if (question == "--help" || question == "-h" || question == "/?") {
        out << AsConsoleLines(SyntaxText(ProgramNameForSyntax(platform::executable_name()))) << '\n' << std::flush;
        return 0;
    }
    if (question == "--version") {
        out << "quillet " << VersionText() << '\n' << std::flush;
        return 0;
    }
    return std::nullopt;
}

}  // namespace quillet
