// The archiver of quillet: the module quillet_zip32, loaded the first time a job
// asks for /Z.

#include "job/archiver.h"
#include "platform/module_table.h"

namespace quillet {

const Archiver* archiver() {
    static const Archiver* const loaded =
        platform::load_module_table<Archiver>(QUILLET_ZIP_MODULE, "quillet_zip32_archiver", "the zip archiver");
    return loaded;
}

}  // namespace quillet
