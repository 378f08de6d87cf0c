#include "ui/qt/window_module.h"

#include "ui/qt/window_run.h"

extern "C" {

bool quillet_window_can_open_display() { return quillet::qt::CanOpenDisplay(); }

int quillet_window_run(const char* program_path, quillet::qt::FormLoadFunction* form_load, void* context) {
    return quillet::qt::RunInWindows(program_path, [form_load, context] { return form_load(context); });
}

}
