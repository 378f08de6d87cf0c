#pragma once
// The texts of the zip result codes, from the program's string table.

#include <cstdint>
#include <string>

namespace quillet {

// The text for a result code; "Unknown error" and the code for a code the table
// has no text for.
std::string zip_result_text(std::int32_t code);

}  // namespace quillet
