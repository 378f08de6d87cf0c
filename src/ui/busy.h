#pragma once
// The program-wide busy (hourglass) pointer. Routines save BusyState, set busy,
// and put the saved state back.

namespace quillet::lib_basDisplay {

extern bool BusyState;
void lib_SetBusy(bool busy);

// Sets busy for a scope and restores the state found on entry, on every path.
class BusyScope {
public:
    BusyScope() : saved_(BusyState) { lib_SetBusy(true); }
    ~BusyScope() { lib_SetBusy(saved_); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool saved_;
};

}  // namespace quillet::lib_basDisplay
