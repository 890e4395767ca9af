#pragma once
// Small synthetic PE images for the native tests of sealing: real header layout, one section of
// patterned bytes holding an empty digest slot, optional trailing data.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "integrity/seal_layout.h"

namespace velmora::testing {

struct TestPeImage {
  std::vector<std::uint8_t> bytes;
  std::size_t checksum_offset = 0;
  std::size_t certificate_entry_offset = 0;
  std::size_t section_offset = 0;
  std::size_t slot_offset = 0;
};

inline void PutLe(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i, value >>= 8) bytes[offset + i] = static_cast<std::uint8_t>(value);
}

// `trailing` bytes follow the section (data carried after the image); odd sizes leave the file
// unaligned, as a linker may.
inline TestPeImage MakeTestPeImage(bool pe32_plus = false, std::size_t trailing = 0,
                                   std::uint32_t directory_count = 16) {
  constexpr std::size_t kPe = 0x80;
  constexpr std::size_t kSectionSize = 0x400;
  const std::size_t optional_size = pe32_plus ? 240 : 224;
  TestPeImage image;
  image.section_offset = 0x200;
  image.bytes.assign(image.section_offset + kSectionSize + trailing, 0);
  std::vector<std::uint8_t>& b = image.bytes;
  b[0] = 'M';
  b[1] = 'Z';
  PutLe(b, 0x3c, kPe, 4);
  PutLe(b, kPe, 0x00004550, 4);
  PutLe(b, kPe + 4, pe32_plus ? 0x8664 : 0x14c, 2);  // machine
  PutLe(b, kPe + 6, 1, 2);                          // one section
  PutLe(b, kPe + 8, 0x5f5e0f00, 4);                 // time stamp, covered like any byte
  PutLe(b, kPe + 20, static_cast<std::uint32_t>(optional_size), 2);
  const std::size_t optional = kPe + 24;
  PutLe(b, optional, pe32_plus ? 0x20b : 0x10b, 2);
  image.checksum_offset = optional + 64;
  PutLe(b, image.checksum_offset, 0x1234, 4);
  const std::size_t directories = optional + (pe32_plus ? 112 : 96);
  PutLe(b, directories - 4, directory_count, 4);
  image.certificate_entry_offset = directories + 4 * 8;
  const std::size_t section = optional + optional_size;
  PutLe(b, section, 0x7865742e, 4);  // ".tex"
  PutLe(b, section + 16, kSectionSize, 4);
  PutLe(b, section + 20, static_cast<std::uint32_t>(image.section_offset), 4);
  for (std::size_t i = image.section_offset; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i * 7 + 3);
  image.slot_offset = image.section_offset + 0x100;
  std::copy(kSealMarker.begin(), kSealMarker.end(), b.begin() + image.slot_offset);
  std::fill_n(b.begin() + image.slot_offset + kSealMarkerSize, kSealSizeFieldSize + kSealDigestSize, 0);
  return image;
}

// What a code signer does to a file whose size is already a multiple of 8: a new checksum, the
// certificate entry naming a table appended at the end of the file.
inline void SignLikeASigner(TestPeImage& image, std::size_t table_size = 0x5f8) {
  std::vector<std::uint8_t>& b = image.bytes;
  const std::size_t table = b.size();
  PutLe(b, image.certificate_entry_offset, static_cast<std::uint32_t>(table), 4);
  PutLe(b, image.certificate_entry_offset + 4, static_cast<std::uint32_t>(table_size), 4);
  PutLe(b, image.checksum_offset, 0xabcdef, 4);
  for (std::size_t i = 0; i < table_size; ++i) b.push_back(static_cast<std::uint8_t>(0x30 + i % 61));
}

}  // namespace velmora::testing
