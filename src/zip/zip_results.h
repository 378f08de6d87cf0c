#pragma once
// The texts of the zip result codes, from the program's string table.

#include <cstdint>
#include <string>

namespace quillet {

// The text for a result code; "Unknown error" and the code for a code the table
// has no text for.
std::string zip_result_text(std::int32_t code);

// The result for a folder beside an archive that could not be made, by the reason
// in platform::last_error(): the archive's own folder is missing (ZE_CREAT), or
// nothing can be written there (ZE_TEMP).
std::int32_t zip_result_of_unmade_folder();

}  // namespace quillet
