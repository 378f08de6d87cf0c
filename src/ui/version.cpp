#include "ui/version.h"

namespace quillet {

int VersionMajor() { return QUILLET_VERSION_MAJOR; }

int VersionMinor() { return QUILLET_VERSION_MINOR; }

int VersionRevision() { return QUILLET_REVISION; }

std::string RevisionLetter(int revision) {
    if (revision <= 0) return {};
    return std::string(1, static_cast<char>(96 + revision));
}

std::string VersionText() {
    return std::to_string(VersionMajor()) + "." + std::to_string(VersionMinor()) + RevisionLetter(VersionRevision());
}

}  // namespace quillet
