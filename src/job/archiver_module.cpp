// The module quillet_zip32: the zip archiver, for quillet to load when a job zips.

#include "job/archiver.h"

extern "C" const quillet::Archiver* quillet_zip32_archiver() { return &quillet::linked_archiver(); }
