#pragma once
// This program's own digest slot, which the build's sealing step fills in.

#include <array>
#include <cstdint>

#include "integrity/seal_layout.h"

namespace velmora {

// The slot's marker, read from the slot itself: the program holds no second copy of it, so the
// marker occurs exactly once in its file. Reading it also keeps the slot in the linked program.
std::array<std::uint8_t, kSealMarkerSize> OwnSealMarker();

}  // namespace velmora
