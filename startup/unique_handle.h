#pragma once
// Owning wrappers for Windows handles: every handle the programs open is closed by one of these.

#include <windows.h>

#include <utility>

namespace velmora {

template <typename Traits>
class unique_handle {
 public:
  using handle_type = typename Traits::handle_type;

  unique_handle() noexcept : handle_(Traits::invalid()) {}
  explicit unique_handle(handle_type h) noexcept : handle_(h) {}
  unique_handle(unique_handle&& other) noexcept : handle_(other.release()) {}
  unique_handle& operator=(unique_handle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  unique_handle(const unique_handle&) = delete;
  unique_handle& operator=(const unique_handle&) = delete;
  ~unique_handle() { reset(); }

  handle_type get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return Traits::is_valid(handle_); }

  [[nodiscard]] handle_type release() noexcept { return std::exchange(handle_, Traits::invalid()); }

  // Closing keeps the caller's GetLastError() intact, so a failure can still be read after cleanup.
  void reset(handle_type h = Traits::invalid()) noexcept {
    if (Traits::is_valid(handle_)) {
      const DWORD error = GetLastError();
      Traits::close(handle_);
      SetLastError(error);
    }
    handle_ = h;
  }

  // For APIs that return a handle through a pointer argument.
  handle_type* receive() noexcept {
    reset();
    return &handle_;
  }

 private:
  handle_type handle_;
};

struct kernel_handle_traits {  // CreateFile, CreateProcess, CreateFileMapping...
  using handle_type = HANDLE;
  static HANDLE invalid() noexcept { return nullptr; }
  static bool is_valid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) noexcept { CloseHandle(h); }
};

struct registry_key_traits {
  using handle_type = HKEY;
  static HKEY invalid() noexcept { return nullptr; }
  static bool is_valid(HKEY h) noexcept { return h != nullptr; }
  static void close(HKEY h) noexcept { RegCloseKey(h); }
};

struct find_handle_traits {
  using handle_type = HANDLE;
  static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static bool is_valid(HANDLE h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void close(HANDLE h) noexcept { FindClose(h); }
};

struct module_traits {
  using handle_type = HMODULE;
  static HMODULE invalid() noexcept { return nullptr; }
  static bool is_valid(HMODULE h) noexcept { return h != nullptr; }
  static void close(HMODULE h) noexcept { FreeLibrary(h); }
};

struct mapped_view_traits {
  using handle_type = const void*;
  static const void* invalid() noexcept { return nullptr; }
  static bool is_valid(const void* p) noexcept { return p != nullptr; }
  static void close(const void* p) noexcept { UnmapViewOfFile(p); }
};

using scoped_handle = unique_handle<kernel_handle_traits>;
using scoped_hkey = unique_handle<registry_key_traits>;
using scoped_find = unique_handle<find_handle_traits>;
using scoped_module = unique_handle<module_traits>;
using scoped_view = unique_handle<mapped_view_traits>;

// Minimal owning COM pointer.
template <typename T>
class com_ptr {
 public:
  com_ptr() = default;
  com_ptr(const com_ptr&) = delete;
  com_ptr& operator=(const com_ptr&) = delete;
  ~com_ptr() { reset(); }
  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  void reset() noexcept {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  T** receive() noexcept {
    reset();
    return &p_;
  }
  void** receive_void() noexcept { return reinterpret_cast<void**>(receive()); }

 private:
  T* p_ = nullptr;
};

}  // namespace velmora
