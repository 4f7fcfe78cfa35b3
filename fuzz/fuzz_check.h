// What every file-format fuzz target needs besides its input.
#pragma once

#include <cstdlib>

namespace rvk::fuzz {

// Unlike assert, this stays active in every build type.
inline void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace rvk::fuzz
