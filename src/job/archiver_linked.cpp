// The archiver of a program that has it linked in.

#include "job/archiver.h"

namespace quillet {

const Archiver* archiver() { return &linked_archiver(); }

}  // namespace quillet
