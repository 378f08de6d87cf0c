#pragma once
// The program's own message box: error, warning and information kinds.

#include <cstdint>
#include <optional>
#include <string>

namespace quillet {

// The request text handed to the box: kind (1 character), countdown (4, right
// aligned), then the message.
extern std::string MsgBoxRequest;

// Shows the box, and logs its text to the system log. Passwords in command line
// text it quotes read "***".
void lib_MsgBox(const std::string& kind, const std::string& message, std::int16_t countdown);
void lib_MsgBoxError(const std::string& text, std::int16_t countdown = 0);    // beeps
void lib_MsgBoxWarning(const std::string& text, std::int16_t countdown = 0);  // beeps
void lib_MsgBoxInfo(const std::string& text, std::int16_t countdown = 0);

// The request for one box. A countdown outside 0 to 9999 seconds is held to it.
std::string ComposeMsgBoxRequest(const std::string& kind, std::int16_t countdown, const std::string& text);

// A text of 1250 characters or more is shown in two boxes: up to the last blank,
// CR or LF at or before character 990 (else the first 1240 characters) with
// "...(contd)", then the rest. Empty for a text that fits one box.
struct MsgBoxParts {
    std::string first;
    std::string rest;
};
std::optional<MsgBoxParts> SplitLongMessage(const std::string& text);

}  // namespace quillet
