#include "zip/source_function.h"

namespace quillet::zip32 {

zip_source_t* SourceFunction::make(zip_t* archive, std::unique_ptr<SourceFunction> function) {
    zip_source_t* source = zip_source_function(archive, dispatch, function.get());
    if (source != nullptr) function.release();  // freed by the source's last command
    return source;
}

zip_int64_t SourceFunction::failed(int zip_error, int system_error) {
    zip_error_set(&error_, zip_error, system_error);
    return -1;
}

zip_int64_t SourceFunction::failed_in(zip_source_t* source) {
    const zip_error_t* cause = zip_source_error(source);
    return failed(zip_error_code_zip(cause), zip_error_code_system(cause));
}

zip_int64_t SourceFunction::dispatch(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* function = static_cast<SourceFunction*>(state);
    switch (command) {
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_GET_FILE_ATTRIBUTES,
                                                  -1);
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&function->error_, data, length);
        case ZIP_SOURCE_FREE:
            delete function;
            return 0;
        case ZIP_SOURCE_OPEN:
        case ZIP_SOURCE_READ:
        case ZIP_SOURCE_CLOSE:
        case ZIP_SOURCE_STAT:
        case ZIP_SOURCE_GET_FILE_ATTRIBUTES:
            return function->serve(data, length, command);
        default:
            return function->failed(ZIP_ER_OPNOTSUPP);
    }
}

}  // namespace quillet::zip32
