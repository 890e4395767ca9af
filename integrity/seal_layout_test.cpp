#include "integrity/seal_layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "integrity/test_pe_image.h"

namespace velmora {
namespace {

using testing::MakeTestPeImage;
using testing::PutLe;
using testing::SignLikeASigner;
using testing::TestPeImage;

TestPeImage Prepared(bool pe32_plus = false, std::size_t trailing = 0, std::uint32_t directories = 16) {
  TestPeImage image = MakeTestPeImage(pe32_plus, trailing, directories);
  EXPECT_EQ(PrepareSeal(image.bytes, kSealMarker), SealFault::None);
  return image;
}

std::size_t DigestOffset(const TestPeImage& image) { return image.slot_offset + kSealMarkerSize + kSealSizeFieldSize; }

TEST(SealLayout, CoversEverythingButTheSigningFieldsAndTheDigest) {
  for (bool pe32_plus : {false, true}) {
    SCOPED_TRACE(pe32_plus ? "PE32+" : "PE32");
    TestPeImage image = Prepared(pe32_plus, 3);
    const std::size_t size = image.bytes.size();
    const SealLayout layout = ReadSealLayout(image.bytes, kSealMarker);
    ASSERT_EQ(layout.fault, SealFault::None);
    EXPECT_EQ(layout.slot_offset, image.slot_offset);
    EXPECT_EQ(layout.digest_offset, DigestOffset(image));
    const std::size_t checksum = image.checksum_offset;
    const std::size_t entry = image.certificate_entry_offset;
    const std::size_t digest = DigestOffset(image);
    const std::vector<ByteRange> expected = {
        {0, checksum}, {checksum + 4, entry - checksum - 4}, {entry + 8, digest - entry - 8}, {digest + 32, size - digest - 32}};
    EXPECT_EQ(layout.covered, expected);

    // A signer's changes leave the covered bytes exactly as they were.
    SignLikeASigner(image);
    const SealLayout signed_layout = ReadSealLayout(image.bytes, kSealMarker);
    ASSERT_EQ(signed_layout.fault, SealFault::None);
    EXPECT_EQ(signed_layout.covered, expected);
  }
}

TEST(SealLayout, WithoutACertificateEntryOnlyTheChecksumAndDigestAreSkipped) {
  const TestPeImage image = Prepared(false, 0, 4);
  const SealLayout layout = ReadSealLayout(image.bytes, kSealMarker);
  ASSERT_EQ(layout.fault, SealFault::None);
  const std::size_t checksum = image.checksum_offset;
  const std::size_t digest = DigestOffset(image);
  const std::vector<ByteRange> expected = {
      {0, checksum}, {checksum + 4, digest - checksum - 4}, {digest + 32, image.bytes.size() - digest - 32}};
  EXPECT_EQ(layout.covered, expected);
}

TEST(SealLayout, PrepareSealPadsToTheSigningAlignmentAndRecordsTheSize) {
  for (std::size_t trailing : {0, 1, 5, 7, 8}) {
    SCOPED_TRACE(trailing);
    TestPeImage image = MakeTestPeImage(false, trailing);
    const std::size_t original = image.bytes.size();
    std::fill_n(image.bytes.begin() + DigestOffset(image), kSealDigestSize, 0xee);  // an older seal
    ASSERT_EQ(PrepareSeal(image.bytes, kSealMarker), SealFault::None);
    const std::size_t size = image.bytes.size();
    EXPECT_EQ(size % 8, 0u);
    EXPECT_GE(size, original);
    EXPECT_LT(size, original + 8);
    for (std::size_t i = original; i < size; ++i) EXPECT_EQ(image.bytes[i], 0) << i;
    std::uint64_t recorded = 0;
    for (std::size_t i = 8; i-- > 0;) recorded = recorded << 8 | image.bytes[image.slot_offset + kSealMarkerSize + i];
    EXPECT_EQ(recorded, size);
    for (std::size_t i = 0; i < kSealDigestSize; ++i) EXPECT_EQ(image.bytes[DigestOffset(image) + i], 0) << i;
  }
}

TEST(SealLayout, PrepareSealRefusesWhatCannotBeSealed) {
  struct Case {
    const char* name;
    std::function<void(TestPeImage&)> change;
    SealFault fault;
  } cases[] = {
      {"signed", [](TestPeImage& i) { SignLikeASigner(i); }, SealFault::AlreadySigned},
      {"no MZ", [](TestPeImage& i) { i.bytes[1] = 'X'; }, SealFault::NotExecutable},
      {"no marker", [](TestPeImage& i) { i.bytes[i.slot_offset + 15] ^= 1; }, SealFault::NoMarker},
      {"two markers",
       [](TestPeImage& i) { i.bytes.insert(i.bytes.end(), kSealMarker.begin(), kSealMarker.end()); i.bytes.resize(i.bytes.size() + 64); },
       SealFault::RepeatedMarker},
      {"slot past the end",
       [](TestPeImage& i) {
         i.bytes[i.slot_offset] ^= 1;
         i.bytes.insert(i.bytes.end(), kSealMarker.begin(), kSealMarker.end());
       },
       SealFault::SlotCut},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestPeImage image = MakeTestPeImage();
    c.change(image);
    const std::vector<std::uint8_t> before = image.bytes;
    EXPECT_EQ(PrepareSeal(image.bytes, kSealMarker), c.fault);
    EXPECT_EQ(image.bytes, before);
  }
}

TEST(SealLayout, FilesThatAreNotTheSealedFileOrASignedCopyAreRejected) {
  struct Case {
    const char* name;
    bool sign;
    std::function<void(TestPeImage&)> change;
    SealFault fault;
  } cases[] = {
      {"truncated by 8", false, [](TestPeImage& i) { i.bytes.erase(i.bytes.end() - 8, i.bytes.end()); }, SealFault::SizeMismatch},
      {"truncated by 1", false, [](TestPeImage& i) { i.bytes.pop_back(); }, SealFault::SizeMismatch},
      {"byte appended", false, [](TestPeImage& i) { i.bytes.push_back(0); }, SealFault::SizeMismatch},
      {"truncated into the slot", false, [](TestPeImage& i) { i.bytes.resize(i.slot_offset + 30); }, SealFault::SlotCut},
      {"truncated before the slot", false, [](TestPeImage& i) { i.bytes.resize(i.slot_offset + 8); }, SealFault::NoMarker},
      {"truncated into the headers", false, [](TestPeImage& i) { i.bytes.resize(0x90); }, SealFault::NotExecutable},
      {"empty", false, [](TestPeImage& i) { i.bytes.clear(); }, SealFault::NotExecutable},
      {"marker damaged", false, [](TestPeImage& i) { i.bytes[i.slot_offset + 3] ^= 0x40; }, SealFault::NoMarker},
      {"marker repeated", false,
       [](TestPeImage& i) { std::copy(kSealMarker.begin(), kSealMarker.end(), i.bytes.begin() + i.section_offset + 8); },
       SealFault::RepeatedMarker},
      {"PE offset past the end", false, [](TestPeImage& i) { PutLe(i.bytes, 0x3c, 0x7ffffff0, 4); }, SealFault::NotExecutable},
      {"optional header too large", false, [](TestPeImage& i) { PutLe(i.bytes, 0x80 + 20, 0xffff, 2); }, SealFault::NotExecutable},
      {"unknown optional header", false, [](TestPeImage& i) { PutLe(i.bytes, 0x80 + 24, 0x107, 2); }, SealFault::NotExecutable},
      {"certificate entry on an unsigned file", false,
       [](TestPeImage& i) { PutLe(i.bytes, i.certificate_entry_offset + 4, 16, 4); }, SealFault::CertificateMisplaced},
      {"byte appended after the certificate table", true, [](TestPeImage& i) { i.bytes.push_back(0); },
       SealFault::CertificateMisplaced},
      {"certificate table cut short", true, [](TestPeImage& i) { i.bytes.erase(i.bytes.end() - 8, i.bytes.end()); },
       SealFault::CertificateMisplaced},
      {"certificate table declared over sealed bytes", true,
       [](TestPeImage& i) {
         const std::uint32_t start = static_cast<std::uint32_t>(i.section_offset);
         PutLe(i.bytes, i.certificate_entry_offset, start, 4);
         PutLe(i.bytes, i.certificate_entry_offset + 4, static_cast<std::uint32_t>(i.bytes.size()) - start, 4);
       },
       SealFault::CertificateMisplaced},
      {"certificate table after a gap", true,
       [](TestPeImage& i) {
         i.bytes.insert(i.bytes.end(), 8, 0);
         std::uint32_t start = 0;
         for (int k = 3; k >= 0; --k) start = start << 8 | i.bytes[i.certificate_entry_offset + k];
         PutLe(i.bytes, i.certificate_entry_offset, start + 8, 4);
       },
       SealFault::CertificateMisplaced},
      {"recorded size inside the slot", true,
       [](TestPeImage& i) {
         // Both the entry and the recorded size moved back so that the slot lies in the table.
         const std::uint32_t start = static_cast<std::uint32_t>(i.slot_offset + 8);
         PutLe(i.bytes, i.slot_offset + kSealMarkerSize, start, 4);
         PutLe(i.bytes, i.certificate_entry_offset, start, 4);
         PutLe(i.bytes, i.certificate_entry_offset + 4, static_cast<std::uint32_t>(i.bytes.size()) - start, 4);
       },
       SealFault::SlotCut},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestPeImage image = Prepared();
    if (c.sign) SignLikeASigner(image);
    ASSERT_EQ(ReadSealLayout(image.bytes, kSealMarker).fault, SealFault::None);
    c.change(image);
    EXPECT_EQ(ReadSealLayout(image.bytes, kSealMarker).fault, c.fault);
  }
}

}  // namespace
}  // namespace velmora
