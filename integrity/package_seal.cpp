#include "integrity/package_seal.h"

namespace velmora {
namespace {

struct SealSlot {
  std::uint8_t marker[kSealMarkerSize];
  std::uint8_t sealed_size[kSealSizeFieldSize];
  std::uint8_t digest[kSealDigestSize];
};
static_assert(sizeof(SealSlot) == kSealSlotSize);

constexpr SealSlot EmptySlot() {
  SealSlot slot{};
  for (std::size_t i = 0; i < kSealMarkerSize; ++i) slot.marker[i] = kSealMarker[i];
  return slot;
}

// Volatile: the compiler must neither fold the marker into code nor drop the unread digest.
const volatile SealSlot g_seal_slot = EmptySlot();

}  // namespace

std::array<std::uint8_t, kSealMarkerSize> OwnSealMarker() {
  std::array<std::uint8_t, kSealMarkerSize> marker;
  for (std::size_t i = 0; i < marker.size(); ++i) marker[i] = g_seal_slot.marker[i];
  return marker;
}

}  // namespace velmora
