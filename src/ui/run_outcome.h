#pragma once
// How a run ended, as its exit status tells a script or a cron job: every message
// row and every message box reports a failure or a refusal, so any one of them
// makes the run a failed one; a run that only showed the syntax did nothing. Both
// front ends keep one, so that the status does not depend on which one served.

namespace quillet {

class RunOutcome {
public:
    static constexpr int kNothingWrong = 0;
    static constexpr int kFailuresShown = 1;
    static constexpr int kOnlySyntaxShown = 2;

    void note_failure() { failures_shown_ = true; }
    void note_syntax() { syntax_shown_ = true; }

    bool syntax_shown() const { return syntax_shown_; }
    int exit_status() const {
        if (failures_shown_) return kFailuresShown;
        return syntax_shown_ ? kOnlySyntaxShown : kNothingWrong;
    }

private:
    bool failures_shown_ = false;
    bool syntax_shown_ = false;
};

}  // namespace quillet
