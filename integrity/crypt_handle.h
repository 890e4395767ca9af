#pragma once
// Owning wrappers for CryptoAPI handles, which are integers rather than kernel handles.

#include <windows.h>
#include <wincrypt.h>

#include "startup/unique_handle.h"

namespace velmora {

struct crypt_provider_traits {
  using handle_type = HCRYPTPROV;
  static HCRYPTPROV invalid() noexcept { return 0; }
  static bool is_valid(HCRYPTPROV h) noexcept { return h != 0; }
  static void close(HCRYPTPROV h) noexcept { CryptReleaseContext(h, 0); }
};

struct crypt_hash_traits {
  using handle_type = HCRYPTHASH;
  static HCRYPTHASH invalid() noexcept { return 0; }
  static bool is_valid(HCRYPTHASH h) noexcept { return h != 0; }
  static void close(HCRYPTHASH h) noexcept { CryptDestroyHash(h); }
};

// Declare the hash after its provider, so that it is destroyed first.
using scoped_crypt_provider = unique_handle<crypt_provider_traits>;
using scoped_crypt_hash = unique_handle<crypt_hash_traits>;

}  // namespace velmora
