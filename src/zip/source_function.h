#pragma once
// What the libzip sources of our own share: the commands they answer, and how
// they keep and report a failure.

#include <zip.h>

#include <memory>

namespace quillet::zip32 {

class SourceFunction {
public:
    virtual ~SourceFunction() { zip_error_fini(&error_); }
    SourceFunction(const SourceFunction&) = delete;
    SourceFunction& operator=(const SourceFunction&) = delete;

    // A libzip source for `archive` that owns `function` and hands it its commands;
    // null, `function` gone, when libzip cannot make one (the reason is in the archive).
    static zip_source_t* make(zip_t* archive, std::unique_ptr<SourceFunction> function);

protected:
    SourceFunction() { zip_error_init(&error_); }

    // Open, read, close, stat and the file attributes; the rest is answered here.
    virtual zip_int64_t serve(void* data, zip_uint64_t length, zip_source_cmd_t command) = 0;

    zip_int64_t failed(int zip_error, int system_error = 0);
    // Takes on the failure of a source this one reads from.
    zip_int64_t failed_in(zip_source_t* source);

private:
    static zip_int64_t dispatch(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command);

    zip_error_t error_;
};

}  // namespace quillet::zip32
