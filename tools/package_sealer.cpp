#include "tools/package_sealer.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace velmora {

SealDigest DigestCoveredBytes(std::span<const std::uint8_t> file, const std::vector<ByteRange>& covered) {
  const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  SealDigest digest{};
  unsigned int length = 0;
  bool ok = context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1;
  for (const ByteRange& range : covered)
    ok = ok && EVP_DigestUpdate(context.get(), file.data() + range.offset, range.size) == 1;
  ok = ok && EVP_DigestFinal_ex(context.get(), digest.data(), &length) == 1 && length == digest.size();
  if (!ok) throw std::runtime_error("SHA-256 failed in libcrypto");
  return digest;
}

SealFault SealImage(std::vector<std::uint8_t>& file) {
  const SealFault prepared = PrepareSeal(file, kSealMarker);
  if (prepared != SealFault::None) return prepared;
  const SealLayout layout = ReadSealLayout(file, kSealMarker);
  if (layout.fault != SealFault::None) return layout.fault;
  const SealDigest digest = DigestCoveredBytes(file, layout.covered);
  std::copy(digest.begin(), digest.end(), file.begin() + layout.digest_offset);
  return SealFault::None;
}

bool IsSealIntact(std::span<const std::uint8_t> file) {
  const SealLayout layout = ReadSealLayout(file, kSealMarker);
  if (layout.fault != SealFault::None) return false;
  const SealDigest digest = DigestCoveredBytes(file, layout.covered);
  return std::equal(digest.begin(), digest.end(), file.begin() + layout.digest_offset);
}

bool SealFile(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) {
    error = "cannot read " + path;
    return false;
  }
  in.close();

  const SealFault fault = SealImage(file);
  if (fault != SealFault::None) {
    error = path + ": " + DescribeSealFault(fault);
    return false;
  }

  // Written beside the target and renamed over it, so an interrupted build never leaves half a file.
  const std::string temporary = path + ".sealing";
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  out.close();
  if (!out) {
    std::remove(temporary.c_str());
    error = "cannot write " + temporary;
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = "cannot replace " + path + ": " + std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace velmora
