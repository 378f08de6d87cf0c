#pragma once
// The program's own message box: error, warning and information kinds.

#include <cstdint>
#include <string>

namespace quillet {

// The request text handed to the box: kind (1 character), countdown (4, right
// aligned), then the message.
extern std::string MsgBoxRequest;

void lib_MsgBox(const std::string& kind, const std::string& text, std::int16_t countdown);
void lib_MsgBoxError(const std::string& text, std::int16_t countdown = 0);    // beeps
void lib_MsgBoxWarning(const std::string& text, std::int16_t countdown = 0);  // beeps
void lib_MsgBoxInfo(const std::string& text, std::int16_t countdown = 0);

}  // namespace quillet
