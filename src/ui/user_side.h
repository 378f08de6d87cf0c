#pragma once
// The user side that the file and archive routines are handed: the front end in
// use, with the program's own message box, error reporter and busy pointer.

#include "files/user_side.h"

namespace quillet {

UserSide& FrontEndUserSide();

}  // namespace quillet
