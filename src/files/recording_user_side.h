#pragma once
// A user side for tests: it records what the routines ask of it and answers from
// what the test set up.

#include <deque>
#include <string>
#include <vector>

#include "files/user_side.h"

namespace quillet::testing {

class RecordingUserSide : public UserSide {
public:
    struct Box {
        std::string text;
        std::int16_t countdown;
    };
    struct Report {
        std::string source;
        std::int32_t number;
        std::string description;
        std::string details;
    };

    std::deque<std::string> answers;
    std::vector<Box> boxes;
    std::vector<Report> reports;
    std::vector<std::string> questions;  // prompts, "(secret)" appended when hidden
    int event_runs = 0;
    bool is_busy = false;

    void do_events() override { ++event_runs; }
    bool busy() const override { return is_busy; }
    void set_busy(bool busy) override { is_busy = busy; }
    void error_box(const std::string& text, std::int16_t countdown) override { boxes.push_back({text, countdown}); }
    void report_error(const std::string& source, std::int32_t number, const std::string& description,
                      const std::string& details) override {
        reports.push_back({source, number, description, details});
    }
    std::string ask(const std::string& prompt, bool secret) override {
        questions.push_back(secret ? prompt + " (secret)" : prompt);
        if (answers.empty()) return {};
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace quillet::testing
