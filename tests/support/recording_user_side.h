#pragma once
// A user side for tests: it records what the routines ask of it and answers from
// `answers`, then with Cancel.

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "files/user_side.h"

namespace quillet::testing {

struct RecordingUserSide : UserSide {
    struct Report {
        std::string source;
        std::int32_t number;
        std::string description;
        std::string details;
    };
    std::deque<std::string> answers;
    std::vector<std::pair<std::string, std::int16_t>> boxes;  // text, countdown
    std::vector<Report> reports;
    std::vector<std::string> questions;  // prompts, " (secret)" added when hidden
    bool is_busy = false;

    void do_events() override {}
    bool busy() const override { return is_busy; }
    void set_busy(bool busy) override { is_busy = busy; }
    void error_box(const std::string& text, std::int16_t countdown) override { boxes.emplace_back(text, countdown); }
    void report_error(const std::string& source, std::int32_t number, const std::string& description,
                      const std::string& details) override {
        reports.push_back({source, number, description, details});
    }
    std::string ask(const std::string& prompt, bool secret) override {
        questions.push_back(secret ? prompt + " (secret)" : prompt);
        if (answers.empty()) return {};
        std::string answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

}  // namespace quillet::testing
