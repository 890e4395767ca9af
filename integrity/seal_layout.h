#pragma once
// Where a sealed executable keeps the digest of its own file, and which bytes that digest covers.
// Shared by the build's sealing tool and the installer's check of itself.
//
// The slot is 56 bytes somewhere in the file: a 16-byte marker, the file size at sealing time
// (8 bytes, little-endian) and the 32-byte SHA-256 digest. The digest covers every byte of the file
// except those that code signing rewrites or appends (the PE CheckSum, the certificate entry of the
// data directory, the certificate table) and the digest itself. The recorded size pins down where a
// certificate table may begin, so a forged table entry cannot hide sealed bytes from the digest.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velmora {

inline constexpr std::size_t kSealMarkerSize = 16;
inline constexpr std::size_t kSealSizeFieldSize = 8;
inline constexpr std::size_t kSealDigestSize = 32;
inline constexpr std::size_t kSealSlotSize = kSealMarkerSize + kSealSizeFieldSize + kSealDigestSize;

// Signing pads the file to this multiple before appending its certificate table; sealing pads
// first, so that signing adds no bytes ahead of the table.
inline constexpr std::size_t kSealAlignment = 8;

// The marker of the slot. A program must not hold these bytes anywhere but in its slot: code that
// searches a file takes the marker as an argument (the program reads it from its own slot).
inline constexpr std::array<std::uint8_t, kSealMarkerSize> kSealMarker = {
    0x6e, 0xda, 0x9d, 0xa5, 0x25, 0x74, 0x3f, 0x85, 0x92, 0xa4, 0x54, 0x05, 0x2b, 0x04, 0xd3, 0x49};

using SealMarkerView = std::span<const std::uint8_t, kSealMarkerSize>;

enum class SealFault {
  None,
  NotExecutable,         // no complete PE headers
  NoMarker,              // the slot's marker is nowhere in the file
  RepeatedMarker,        // the marker occurs more than once
  SlotCut,               // the slot runs past the end of the file
  SizeMismatch,          // the file is not as long as it was when sealed
  CertificateMisplaced,  // a certificate table that does not follow the sealed bytes up to the end
  AlreadySigned,         // sealing: a signed file cannot be sealed (sign after sealing)
};

const char* DescribeSealFault(SealFault fault);

struct ByteRange {
  std::size_t offset;
  std::size_t size;
  bool operator==(const ByteRange&) const = default;
};

struct SealLayout {
  SealFault fault = SealFault::None;
  std::size_t slot_offset = 0;    // offset of the marker
  std::size_t digest_offset = 0;  // offset of the recorded digest
  std::vector<ByteRange> covered;  // ascending and disjoint; the digest is taken over them in order
};

// Locates the slot in a sealed file and the bytes its digest covers. Any fault means the file is not
// the file that was sealed (or a signed copy of it).
SealLayout ReadSealLayout(std::span<const std::uint8_t> file, SealMarkerView marker);

// Sealing, first half: pads an unsigned executable with zero bytes to kSealAlignment and writes its
// size into the slot, with a zero digest. After it, ReadSealLayout gives the ranges to hash.
SealFault PrepareSeal(std::vector<std::uint8_t>& file, SealMarkerView marker);

}  // namespace velmora
