#include "integrity/verify_package.h"

#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "integrity/crypt_handle.h"
#include "integrity/package_seal.h"
#include "integrity/seal_layout.h"
#include "startup/messages.h"
#include "startup/unique_handle.h"

namespace velmora {
namespace {

using Digest = std::array<std::uint8_t, kSealDigestSize>;

// CALG_SHA_256; the headers hide it at the XP API level the programs are built for, since it came
// with XP SP3. Where the provider lacks it, the check is reported as impossible.
constexpr ALG_ID kSha256 = ALG_CLASS_HASH | ALG_TYPE_ANY | 12;  // ALG_SID_SHA_256

// SHA-256 of the covered ranges through the system's own provider; nothing when it is unavailable.
std::optional<Digest> HashCoveredBytes(std::span<const std::uint8_t> file, const std::vector<ByteRange>& covered) {
  scoped_crypt_provider provider;
  if (!CryptAcquireContextA(provider.receive(), nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
    return std::nullopt;
  scoped_crypt_hash hash;
  if (!CryptCreateHash(provider.get(), kSha256, 0, 0, hash.receive())) return std::nullopt;
  for (const ByteRange& range : covered) {
    if (!CryptHashData(hash.get(), file.data() + range.offset, static_cast<DWORD>(range.size), 0)) return std::nullopt;
  }
  Digest digest;
  DWORD length = digest.size();
  if (!CryptGetHashParam(hash.get(), HP_HASHVAL, digest.data(), &length, 0) || length != digest.size())
    return std::nullopt;
  return digest;
}

PackageState CheckMappedFile(std::span<const std::uint8_t> file) {
  const SealLayout layout = ReadSealLayout(file, OwnSealMarker());
  if (layout.fault != SealFault::None) return PackageState::Altered;
  const std::optional<Digest> digest = HashCoveredBytes(file, layout.covered);
  if (!digest) return PackageState::Unverifiable;
  return std::equal(digest->begin(), digest->end(), file.begin() + layout.digest_offset) ? PackageState::Intact
                                                                                          : PackageState::Altered;
}

// A running program's file is loaded: this process may share reading it, but nobody may write it.
constexpr DWORD kShareMode = FILE_SHARE_READ;

// No sealed program comes near this size; a file that large has been added to.
constexpr std::uint64_t kLargestPackage = 0x7fffffff;

void ShowUnverifiable() {
  ShowErrorMessage("Failed to check up the package file!", "Не удаётся проверить файл пакета установки!");
}

// GetModuleFileNameA truncates a long path silently, so the buffer grows until the path fits.
std::optional<std::string> OwnFilePath() {
  for (std::string path(MAX_PATH, '\0'); path.size() <= 0x10000; path.resize(path.size() * 2)) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::nullopt;
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
  }
  return std::nullopt;
}

}  // namespace

PackageState CheckPackageFile(const char* path) {
  scoped_handle file(CreateFileA(path, GENERIC_READ, kShareMode, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return PackageState::Unverifiable;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) return PackageState::Unverifiable;
  // An empty file cannot be mapped, and it is as altered as a file cut short.
  if (size.QuadPart == 0 || static_cast<std::uint64_t>(size.QuadPart) > kLargestPackage) return PackageState::Altered;

  scoped_handle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping) return PackageState::Unverifiable;
  scoped_view view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
  if (!view) return PackageState::Unverifiable;
  try {
    return CheckMappedFile({static_cast<const std::uint8_t*>(view.get()), static_cast<std::size_t>(size.QuadPart)});
  } catch (const std::bad_alloc&) {
    return PackageState::Unverifiable;
  }
}

bool VerifyPackageFile(const char* path) {
  switch (CheckPackageFile(path)) {
    case PackageState::Intact:
      return true;
    case PackageState::Altered:
      ShowErrorMessage("The package file has been distorted!\r\nVirus?", "Файл пакета установки искажён!\r\nВирус?");
      return false;
    case PackageState::Unverifiable:
      break;
  }
  ShowUnverifiable();
  return false;
}

bool VerifyPackage() {
  const std::optional<std::string> path = OwnFilePath();
  if (!path) {
    ShowUnverifiable();
    return false;
  }
  return VerifyPackageFile(path->c_str());
}

}  // namespace velmora
