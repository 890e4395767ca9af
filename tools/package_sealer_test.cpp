#include "tools/package_sealer.h"

#include <gtest/gtest.h>
#include <openssl/sha.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "integrity/test_pe_image.h"

namespace velmora {
namespace {

using testing::MakeTestPeImage;
using testing::SignLikeASigner;
using testing::TestPeImage;

TestPeImage Sealed(std::size_t trailing = 13) {
  TestPeImage image = MakeTestPeImage(false, trailing);
  EXPECT_EQ(SealImage(image.bytes), SealFault::None);
  return image;
}

TEST(PackageSealer, DigestIsSha256OfTheFileWithTheSkippedFieldsLeftOut) {
  const TestPeImage image = Sealed();
  // Built independently of the layout code: the file with the five skipped fields cut out.
  std::vector<std::uint8_t> expected_input;
  const std::size_t digest = image.slot_offset + 24;
  for (std::size_t i = 0; i < image.bytes.size(); ++i) {
    const bool skipped = (i >= image.checksum_offset && i < image.checksum_offset + 4) ||
                         (i >= image.certificate_entry_offset && i < image.certificate_entry_offset + 8) ||
                         (i >= digest && i < digest + 32);
    if (!skipped) expected_input.push_back(image.bytes[i]);
  }
  std::uint8_t expected[SHA256_DIGEST_LENGTH];
  SHA256(expected_input.data(), expected_input.size(), expected);
  EXPECT_TRUE(std::equal(expected, expected + 32, image.bytes.begin() + digest));
  EXPECT_TRUE(IsSealIntact(image.bytes));
}

TEST(PackageSealer, EveryCoveredByteCounts) {
  const TestPeImage sealed = Sealed();
  struct Case {
    const char* name;
    std::size_t offset;
  } cases[] = {
      {"DOS header", 2},          {"PE time stamp", 0x80 + 8},          {"optional header", 0x80 + 24 + 16},
      {"data directory", 0x80 + 24 + 96 + 8}, {"section data", sealed.section_offset + 1},
      {"slot size field", sealed.slot_offset + 17}, {"trailing data", sealed.bytes.size() - 4},
      {"padding", sealed.bytes.size() - 1},      {"recorded digest", sealed.slot_offset + 24 + 31},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestPeImage image = sealed;
    image.bytes[c.offset] ^= 0x01;
    EXPECT_FALSE(IsSealIntact(image.bytes));
  }
}

TEST(PackageSealer, SigningAfterSealingKeepsTheSealButAnythingAppendedBreaksIt) {
  for (std::size_t table_size : {8, 0x5f8, 0x2000}) {
    SCOPED_TRACE(table_size);
    TestPeImage image = Sealed();
    SignLikeASigner(image, table_size);
    EXPECT_TRUE(IsSealIntact(image.bytes));

    TestPeImage appended = image;
    appended.bytes.push_back(0);
    EXPECT_FALSE(IsSealIntact(appended.bytes));

    TestPeImage changed = image;
    changed.bytes[changed.section_offset + 5] ^= 0x80;
    EXPECT_FALSE(IsSealIntact(changed.bytes));
  }
}

TEST(PackageSealer, SealingIsRepeatableAndRefusesSignedFiles) {
  const TestPeImage first = Sealed();
  std::vector<std::uint8_t> again = first.bytes;
  ASSERT_EQ(SealImage(again), SealFault::None);
  EXPECT_EQ(again, first.bytes);

  TestPeImage signed_image = first;
  SignLikeASigner(signed_image);
  const std::vector<std::uint8_t> before = signed_image.bytes;
  EXPECT_EQ(SealImage(signed_image.bytes), SealFault::AlreadySigned);
  EXPECT_EQ(signed_image.bytes, before);
}

class SealFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velmora_seal_XXXXXX";
    const int fd = mkstemp(pattern);
    ASSERT_NE(fd, -1);
    close(fd);
    path_ = pattern;
  }
  void TearDown() override {
    std::remove(path_.c_str());
    std::remove((path_ + ".sealing").c_str());
  }
  void Write(const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  std::vector<std::uint8_t> Read() {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::string path_;
};

TEST_F(SealFileTest, SealsTheFileInPlace) {
  TestPeImage image = MakeTestPeImage(false, 5);
  Write(image.bytes);
  std::string error;
  ASSERT_TRUE(SealFile(path_, error)) << error;
  const std::vector<std::uint8_t> sealed = Read();
  EXPECT_EQ(sealed, Sealed(5).bytes);
  EXPECT_TRUE(IsSealIntact(sealed));
}

TEST_F(SealFileTest, ReportsWhyAFileCannotBeSealedAndLeavesItAlone) {
  TestPeImage image = MakeTestPeImage();
  image.bytes.insert(image.bytes.end(), kSealMarker.begin(), kSealMarker.end());
  image.bytes.resize(image.bytes.size() + 64);
  Write(image.bytes);
  std::string error;
  EXPECT_FALSE(SealFile(path_, error));
  EXPECT_NE(error.find("more than once"), std::string::npos) << error;
  EXPECT_EQ(Read(), image.bytes);

  EXPECT_FALSE(SealFile(path_ + ".missing", error));
  EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
}

}  // namespace
}  // namespace velmora
