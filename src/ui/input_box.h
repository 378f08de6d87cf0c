#pragma once
// The system's input box: a modal prompt with a text field, OK and Cancel.

#include <string>

namespace quillet {

// The answer typed; Cancel gives an empty text. A password question hides what
// is typed.
std::string InputBox(const std::string& prompt, const std::string& title, const std::string& default_text = {},
                     bool password = false);

}  // namespace quillet
