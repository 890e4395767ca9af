#pragma once
// Owning wrappers for the GDI objects of the setup form.

#include <windows.h>

#include "startup/unique_handle.h"

namespace velmora {

struct gdi_object_traits {
  using handle_type = HGDIOBJ;
  static HGDIOBJ invalid() noexcept { return nullptr; }
  static bool is_valid(HGDIOBJ h) noexcept { return h != nullptr; }
  static void close(HGDIOBJ h) noexcept { DeleteObject(h); }
};

struct memory_dc_traits {
  using handle_type = HDC;
  static HDC invalid() noexcept { return nullptr; }
  static bool is_valid(HDC h) noexcept { return h != nullptr; }
  static void close(HDC h) noexcept { DeleteDC(h); }
};

using scoped_gdi = unique_handle<gdi_object_traits>;
using scoped_memory_dc = unique_handle<memory_dc_traits>;

// Selects an object into a device context for a scope.
class scoped_select {
 public:
  scoped_select(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~scoped_select() { SelectObject(dc_, previous_); }
  scoped_select(const scoped_select&) = delete;
  scoped_select& operator=(const scoped_select&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace velmora
