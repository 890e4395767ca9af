#include "integrity/verify_package.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "integrity/package_seal.h"
#include "startup/install_context.h"
#include "startup/messages.h"

// This test program is sealed by the build like the installer; the cases check copies of its own
// file, damaged in the places an altered installer would differ.

namespace velmora {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string OwnPath() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

// Where the byte at `address` in this loaded program lies in its file.
std::size_t FileOffsetOf(const void* address) {
  const auto* base = reinterpret_cast<const std::uint8_t*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const DWORD rva = static_cast<DWORD>(static_cast<const std::uint8_t*>(address) - base);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (rva >= section->VirtualAddress && rva < section->VirtualAddress + section->SizeOfRawData)
      return section->PointerToRawData + (rva - section->VirtualAddress);
  }
  ADD_FAILURE() << "address outside the file's sections";
  return 0;
}

std::size_t PeHeaderOffset(const Bytes& file) {
  return file[0x3c] | file[0x3d] << 8 | file[0x3e] << 16 | file[0x3f] << 24;
}

std::size_t SlotOffset(const Bytes& file) {
  const auto marker = OwnSealMarker();
  return std::search(file.begin(), file.end(), marker.begin(), marker.end()) - file.begin();
}

std::vector<MessageBoxRequest> g_shown;

int Record(const MessageBoxRequest& request) {
  g_shown.push_back(request);
  return IDOK;
}

class VerifyPackageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { original_ = new Bytes(ReadAll(OwnPath())); }
  static void TearDownTestSuite() {
    delete original_;
    original_ = nullptr;
  }

  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    folder_ = std::string(temp) + "velmora_integrity_" + std::to_string(GetCurrentProcessId()) + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    g_shown.clear();
    SetMessageBoxHookForTesting(Record);
  }

  void TearDown() override {
    SetMessageBoxHookForTesting(nullptr);
    Context() = InstallContext{};
    for (const std::string& file : files_) EXPECT_TRUE(DeleteFileA(file.c_str())) << file;
    EXPECT_TRUE(RemoveDirectoryA(folder_.c_str())) << "a file was left open";
  }

  std::string Copy(const std::string& name, const Bytes& bytes) {
    const std::string path = folder_ + name;
    WriteAll(path, bytes);
    files_.push_back(path);
    return path;
  }

  static const Bytes& Original() { return *original_; }

 private:
  static Bytes* original_;
  std::string folder_;
  std::vector<std::string> files_;
};

Bytes* VerifyPackageTest::original_ = nullptr;

TEST_F(VerifyPackageTest, TheSealedProgramAndAnExactCopyAreIntact) {
  EXPECT_EQ(CheckPackageFile(OwnPath().c_str()), PackageState::Intact);
  EXPECT_EQ(CheckPackageFile(Copy("copy.exe", Original()).c_str()), PackageState::Intact);
  EXPECT_TRUE(VerifyPackage());
  EXPECT_TRUE(g_shown.empty());
}

TEST_F(VerifyPackageTest, AnyChangedSealedByteIsFound) {
  const HRSRC resource = FindResourceA(nullptr, "CARRIED", "EXE");
  ASSERT_NE(resource, nullptr);
  const void* carried = LockResource(LoadResource(nullptr, resource));
  const Bytes& original = Original();
  const std::size_t pe = PeHeaderOffset(original);
  const std::size_t slot = SlotOffset(original);
  ASSERT_LT(slot, original.size());

  struct Case {
    const char* name;
    std::size_t offset;
  } cases[] = {
      {"DOS stub", 0x4e},
      {"PE time stamp", pe + 8},
      {"entry point field", pe + 24 + 16},
      {"code of the check itself", FileOffsetOf(reinterpret_cast<const void*>(&CheckPackageFile)) + 3},
      {"carried resource", FileOffsetOf(carried) + 10},
      {"slot marker", slot + 5},
      {"recorded size", slot + 16},
      {"recorded digest", slot + 24 + 31},
      {"last byte", original.size() - 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes bytes = original;
    bytes[c.offset] ^= 0x20;
    EXPECT_EQ(CheckPackageFile(Copy(std::string("changed") + std::to_string(c.offset), bytes).c_str()),
              PackageState::Altered);
  }
}

TEST_F(VerifyPackageTest, OnlyWhatSigningRewritesMayChange) {
  const Bytes& original = Original();
  const std::size_t optional = PeHeaderOffset(original) + 24;
  Bytes checksum = original;
  checksum[optional + 64] ^= 0x5a;  // signing recomputes the checksum
  EXPECT_EQ(CheckPackageFile(Copy("checksum.exe", checksum).c_str()), PackageState::Intact);

  // A certificate entry without a certificate table at the end: something was cut off or moved.
  Bytes entry = original;
  entry[optional + 96 + 4 * 8 + 4] = 0x10;
  EXPECT_EQ(CheckPackageFile(Copy("entry.exe", entry).c_str()), PackageState::Altered);
}

TEST_F(VerifyPackageTest, CutOrExtendedFilesAndMisplacedMarkersAreAltered) {
  const Bytes& original = Original();
  const std::size_t slot = SlotOffset(original);
  struct Case {
    const char* name;
    std::function<void(Bytes&)> change;
  } cases[] = {
      {"cut by 8 bytes", [](Bytes& b) { b.erase(b.end() - 8, b.end()); }},
      {"cut in half", [](Bytes& b) { b.resize(b.size() / 2); }},
      {"cut in the slot", [slot](Bytes& b) { b.resize(slot + 20); }},
      {"empty", [](Bytes& b) { b.clear(); }},
      {"one byte appended", [](Bytes& b) { b.push_back(0); }},
      {"marker repeated in the DOS stub",
       [slot](Bytes& b) { std::copy_n(b.begin() + slot, kSealMarkerSize, b.begin() + 0x40); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes bytes = original;
    c.change(bytes);
    EXPECT_EQ(CheckPackageFile(Copy(std::string(c.name) + ".exe", bytes).c_str()), PackageState::Altered);
  }
}

TEST_F(VerifyPackageTest, AFileThatCannotBeReadIsUnverifiable) {
  const std::string held = Copy("held.exe", Original());
  {
    // Opened without sharing, as a scanner or an unfinished download would hold it.
    const HANDLE exclusive = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CheckPackageFile(held.c_str()), PackageState::Unverifiable);
    CloseHandle(exclusive);
  }
  EXPECT_EQ(CheckPackageFile(held.c_str()), PackageState::Intact);
  EXPECT_EQ(CheckPackageFile((held + ".missing").c_str()), PackageState::Unverifiable);
}

TEST_F(VerifyPackageTest, FailuresShowTheirOwnMessageInTheUsersLanguage) {
  Bytes bytes = Original();
  bytes[0x4e] ^= 1;
  const std::string altered = Copy("altered.exe", bytes);
  const std::string missing = altered + ".missing";
  Context().DisplayName = "Velmora";
  Context().DisplayNameCopy = "Velmora";

  Context().CyrillicLocale = true;
  EXPECT_FALSE(VerifyPackageFile(altered.c_str()));
  EXPECT_FALSE(VerifyPackageFile(missing.c_str()));
  Context().CyrillicLocale = false;
  EXPECT_FALSE(VerifyPackageFile(altered.c_str()));
  EXPECT_FALSE(VerifyPackageFile(missing.c_str()));

  ASSERT_EQ(g_shown.size(), 4u);
  EXPECT_EQ(g_shown[0].text, "Файл пакета установки искажён!\r\nВирус?");
  EXPECT_EQ(g_shown[1].text, "Не удаётся проверить файл пакета установки!");
  EXPECT_EQ(g_shown[2].text, "The package file has been distorted!\r\nVirus?");
  EXPECT_EQ(g_shown[3].text, "Failed to check up the package file!");
  for (const MessageBoxRequest& shown : g_shown) EXPECT_EQ(shown.flags, kErrorFlags);
}

}  // namespace
}  // namespace velmora
