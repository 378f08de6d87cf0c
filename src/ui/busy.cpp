#include "ui/busy.h"

#include "ui/front_end.h"

namespace quillet::lib_basDisplay {

bool BusyState = false;

void lib_SetBusy(bool busy) {
    front_end().set_busy(busy);
    BusyState = busy;
}

}  // namespace quillet::lib_basDisplay
