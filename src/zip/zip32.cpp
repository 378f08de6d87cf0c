// The component's three calls and what it keeps between them: the caller's
// callback table and a copy of its options.

#include "zip/zip32.h"

#include <algorithm>
#include <new>
#include <thread>
#include <optional>

#include "zip/archive_run.h"
#include "zip/archive_settings.h"

namespace quillet::zip32 {

namespace {

struct ComponentState {
    std::optional<ZIPUSERFUNCTIONS> callbacks;
    StoredOptions options = store_options(ZPOPT{});
    int threads = 0;
};

ComponentState& state() {
    static ComponentState component;
    return component;
}

int thread_count() {
    if (state().threads > 0) return state().threads;
    return std::max(2, static_cast<int>(std::thread::hardware_concurrency()));
}

}  // namespace

void set_compression_threads(int count) { state().threads = std::max(0, count); }

int ZpInit(const ZIPUSERFUNCTIONS* functions) {
    const bool complete = functions != nullptr && functions->print != nullptr && functions->comment != nullptr &&
                          functions->password != nullptr && functions->ServiceApplication != nullptr;
    if (!complete) {
        state().callbacks.reset();
        return 0;
    }
    state().callbacks = *functions;
    return 1;
}

int ZpSetOptions(ZPOPT* options) {
    if (options == nullptr) return 0;
    options->fEncryption = 1;
    state().options = store_options(*options);
    return 1;
}

int ZpArchive(int count, const char* archive_path, const ZIPNAMES* names) {
    if (!state().callbacks) return ZE_LOGIC;  // ZpInit has not accepted a callback table
    try {
        return run_archive(*state().callbacks, state().options, count, archive_path, names, thread_count());
    } catch (const std::bad_alloc&) {
        return ZE_MEM;
    } catch (...) {
        return ZE_LOGIC;
    }
}

}  // namespace quillet::zip32
