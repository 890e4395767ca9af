#pragma once
// The build's sealing step: records the SHA-256 digest of an executable in the executable's slot.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "integrity/seal_layout.h"

namespace velmora {

using SealDigest = std::array<std::uint8_t, kSealDigestSize>;

// SHA-256 over the covered ranges, in order.
SealDigest DigestCoveredBytes(std::span<const std::uint8_t> file, const std::vector<ByteRange>& covered);

// Seals the image in place (it may grow by up to 7 padding bytes). Sealing a sealed file again
// gives the same bytes.
SealFault SealImage(std::vector<std::uint8_t>& file);

// The installer's own check, done on the build machine: true when `file` is a sealed image, or a
// signed copy of one, whose covered bytes still match the recorded digest.
bool IsSealIntact(std::span<const std::uint8_t> file);

// Reads, seals and rewrites the file at `path`; on failure returns false and says why in `error`.
bool SealFile(const std::string& path, std::string& error);

}  // namespace velmora
