#include "ui/user_side.h"

#include "ui/busy.h"
#include "ui/front_end.h"
#include "ui/input_box.h"
#include "ui/msgbox.h"
#include "ui/reporting.h"
#include "ui/version.h"

namespace quillet {

namespace {

class FrontEndSide final : public UserSide {
public:
    void do_events() override { DoEvents(); }
    bool busy() const override { return lib_basDisplay::BusyState; }
    void set_busy(bool busy) override { lib_basDisplay::lib_SetBusy(busy); }
    void error_box(const std::string& text, std::int16_t countdown) override { lib_MsgBoxError(text, countdown); }
    void report_error(const std::string& source, std::int32_t number, const std::string& description,
                      const std::string& details) override {
        lib_ErrorHandler(source, number, description, true, details);
    }
    std::string ask(const std::string& prompt, bool secret) override {
        return InputBox(prompt, kProgramTitle, "", secret);
    }
};

}  // namespace

UserSide& FrontEndUserSide() {
    static FrontEndSide side;
    return side;
}

}  // namespace quillet
