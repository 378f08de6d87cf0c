#include "ui/input_box.h"

#include "ui/front_end.h"

namespace quillet {

std::string InputBox(const std::string& prompt, const std::string& title, const std::string& default_text,
                     bool password) {
    return front_end().input_box(InputBoxRequest{prompt, title, default_text, password});
}

}  // namespace quillet
