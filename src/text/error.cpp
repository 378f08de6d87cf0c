#include "text/error.h"

#include <utility>

namespace quillet {

Error::Error(std::int32_t number, std::string source, std::string description)
    : number_(number), source_(std::move(source)), description_(std::move(description)) {}

}  // namespace quillet
