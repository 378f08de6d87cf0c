#pragma once
// What the file and archive routines need from whoever runs them: window events
// kept running during long work, the busy pointer, the error box, the report of
// a trapped run-time error, and an answer typed in. The program hands them the
// front end's (ui/user_side.h); tests hand them one that records, so that these
// routines run without any window.

#include <cstdint>
#include <string>

namespace quillet {

class UserSide {
public:
    virtual ~UserSide() = default;

    // Lets pending window events run.
    virtual void do_events() = 0;
    virtual bool busy() const = 0;
    virtual void set_busy(bool busy) = 0;
    // The program's error box, after a beep; it closes itself after the countdown
    // in seconds (0: only OK closes it). Returns when it is closed.
    virtual void error_box(const std::string& text, std::int16_t countdown) = 0;
    // A trapped run-time error, reported under the name of the routine that
    // trapped it, with a detail text ("Path:" + path).
    virtual void report_error(const std::string& source, std::int32_t number, const std::string& description,
                              const std::string& details) = 0;
    // The answer typed to a question; Cancel gives an empty text. A secret is not
    // shown while it is typed.
    virtual std::string ask(const std::string& prompt, bool secret) = 0;
};

// Sets busy for a scope and restores the state found on entry, on every path.
class BusyScope {
public:
    explicit BusyScope(UserSide& user) : user_(user), saved_(user.busy()) { user_.set_busy(true); }
    ~BusyScope() { user_.set_busy(saved_); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    UserSide& user_;
    bool saved_;
};

}  // namespace quillet
