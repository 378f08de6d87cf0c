// No office software's database engine can be driven on this host: every
// database that the SQLite engine cannot take goes down the command-line route.

#include "platform/platform.h"
#include "text/vb_errors.h"

namespace quillet::platform {

std::unique_ptr<HostDatabaseEngine> create_host_database_engine() { throw vb::error(vb::kCannotCreateObject); }

}  // namespace quillet::platform
