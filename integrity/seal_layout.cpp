#include "integrity/seal_layout.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace velmora {
namespace {

// PE offsets, relative to the optional header.
constexpr std::size_t kChecksumOffset = 64;
constexpr std::uint16_t kPe32Magic = 0x10b;
constexpr std::uint16_t kPe32PlusMagic = 0x20b;
constexpr std::size_t kCertificateDirectoryIndex = 4;
constexpr std::size_t kDirectoryEntrySize = 8;

std::uint32_t ReadLe(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = width; i-- > 0;) value = (value << 8) | bytes[offset + i];
  return value;
}

// The header fields that signing rewrites, and the certificate table they name.
struct SigningFields {
  std::size_t checksum_offset = 0;
  std::optional<std::size_t> certificate_entry_offset;
  std::uint32_t certificate_offset = 0;
  std::uint32_t certificate_size = 0;

  bool signed_file() const { return certificate_offset != 0 || certificate_size != 0; }
};

std::optional<SigningFields> ReadSigningFields(std::span<const std::uint8_t> file) {
  const std::uint64_t size = file.size();
  if (size < 0x40 || file[0] != 'M' || file[1] != 'Z') return std::nullopt;
  const std::uint64_t pe = ReadLe(file, 0x3c, 4);
  if (pe + 24 > size || ReadLe(file, pe, 4) != 0x00004550) return std::nullopt;  // "PE\0\0"
  const std::uint64_t optional_size = ReadLe(file, pe + 20, 2);
  const std::uint64_t optional = pe + 24;
  if (optional + optional_size > size || optional_size < kChecksumOffset + 4) return std::nullopt;

  std::size_t count_offset = 0;
  std::size_t directory_offset = 0;
  switch (ReadLe(file, optional, 2)) {
    case kPe32Magic: count_offset = 92; directory_offset = 96; break;
    case kPe32PlusMagic: count_offset = 108; directory_offset = 112; break;
    default: return std::nullopt;
  }
  if (optional_size < directory_offset) return std::nullopt;

  SigningFields fields;
  fields.checksum_offset = optional + kChecksumOffset;
  const std::uint32_t directory_count = ReadLe(file, optional + count_offset, 4);
  if (directory_count > kCertificateDirectoryIndex) {
    const std::uint64_t entry = directory_offset + kCertificateDirectoryIndex * kDirectoryEntrySize;
    if (entry + kDirectoryEntrySize > optional_size) return std::nullopt;
    fields.certificate_entry_offset = optional + entry;
    // Unlike the other entries this one holds a file offset, not an address in the image.
    fields.certificate_offset = ReadLe(file, optional + entry, 4);
    fields.certificate_size = ReadLe(file, optional + entry + 4, 4);
  }
  return fields;
}

struct MarkerSearch {
  SealFault fault = SealFault::None;
  std::size_t offset = 0;
};

MarkerSearch FindMarker(std::span<const std::uint8_t> file, SealMarkerView marker) {
  const std::boyer_moore_horspool_searcher searcher(marker.begin(), marker.end());
  const auto first = std::search(file.begin(), file.end(), searcher);
  if (first == file.end()) return {SealFault::NoMarker};
  if (std::search(first + 1, file.end(), searcher) != file.end()) return {SealFault::RepeatedMarker};
  return {SealFault::None, static_cast<std::size_t>(first - file.begin())};
}

}  // namespace

const char* DescribeSealFault(SealFault fault) {
  switch (fault) {
    case SealFault::None: return "sealed";
    case SealFault::NotExecutable: return "not a complete PE executable";
    case SealFault::NoMarker: return "no digest slot (its marker is missing)";
    case SealFault::RepeatedMarker: return "the digest slot's marker occurs more than once";
    case SealFault::SlotCut: return "the digest slot lies outside the sealed bytes";
    case SealFault::SizeMismatch: return "the file size differs from the sealed size";
    case SealFault::CertificateMisplaced: return "the certificate table does not run from the sealed end to the end of the file";
    case SealFault::AlreadySigned: return "the file is signed already; seal first, then sign";
  }
  return "unknown";
}

SealLayout ReadSealLayout(std::span<const std::uint8_t> file, SealMarkerView marker) {
  SealLayout layout;
  const std::optional<SigningFields> fields = ReadSigningFields(file);
  if (!fields) {
    layout.fault = SealFault::NotExecutable;
    return layout;
  }
  const MarkerSearch found = FindMarker(file, marker);
  if (found.fault != SealFault::None) {
    layout.fault = found.fault;
    return layout;
  }
  layout.slot_offset = found.offset;
  layout.digest_offset = found.offset + kSealMarkerSize + kSealSizeFieldSize;
  if (layout.slot_offset + kSealSlotSize > file.size()) {
    layout.fault = SealFault::SlotCut;
    return layout;
  }

  const std::size_t size_field = found.offset + kSealMarkerSize;
  const std::uint64_t sealed_size =
      ReadLe(file, size_field, 4) | (std::uint64_t{ReadLe(file, size_field + 4, 4)} << 32);
  const std::uint64_t file_size = file.size();
  if (fields->signed_file()) {
    if (fields->certificate_offset != sealed_size || fields->certificate_size == 0 ||
        std::uint64_t{fields->certificate_offset} + fields->certificate_size != file_size) {
      layout.fault = SealFault::CertificateMisplaced;
      return layout;
    }
  } else if (sealed_size != file_size) {
    layout.fault = SealFault::SizeMismatch;
    return layout;
  }
  if (layout.slot_offset + kSealSlotSize > sealed_size) {
    layout.fault = SealFault::SlotCut;
    return layout;
  }

  std::vector<ByteRange> skipped = {{fields->checksum_offset, 4}, {layout.digest_offset, kSealDigestSize}};
  if (fields->certificate_entry_offset) skipped.push_back({*fields->certificate_entry_offset, kDirectoryEntrySize});
  if (fields->signed_file()) skipped.push_back({fields->certificate_offset, fields->certificate_size});
  std::sort(skipped.begin(), skipped.end(), [](const ByteRange& a, const ByteRange& b) { return a.offset < b.offset; });

  std::size_t next = 0;
  for (const ByteRange& gap : skipped) {
    if (gap.offset > next) layout.covered.push_back({next, gap.offset - next});
    next = std::max(next, gap.offset + gap.size);
  }
  if (next < file.size()) layout.covered.push_back({next, file.size() - next});
  return layout;
}

SealFault PrepareSeal(std::vector<std::uint8_t>& file, SealMarkerView marker) {
  const std::optional<SigningFields> fields = ReadSigningFields(file);
  if (!fields) return SealFault::NotExecutable;
  if (fields->signed_file()) return SealFault::AlreadySigned;
  const MarkerSearch found = FindMarker(file, marker);
  if (found.fault != SealFault::None) return found.fault;
  if (found.offset + kSealSlotSize > file.size()) return SealFault::SlotCut;

  file.resize((file.size() + kSealAlignment - 1) / kSealAlignment * kSealAlignment, 0);
  std::uint64_t size = file.size();
  std::uint8_t* field = file.data() + found.offset + kSealMarkerSize;
  for (std::size_t i = 0; i < kSealSizeFieldSize; ++i, size >>= 8) field[i] = static_cast<std::uint8_t>(size);
  std::fill_n(field + kSealSizeFieldSize, kSealDigestSize, 0);
  return SealFault::None;
}

}  // namespace velmora
