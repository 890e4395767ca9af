#pragma once
// The installed application holds the mapping "velmora_memfile" while it runs. The uninstaller
// creates it too and keeps it until it ends, so an application started meanwhile sees it.

#include "startup/unique_handle.h"

namespace velmora {

class InstanceMapping {
 public:
  // Creates the mapping, or opens the application's; remembers which.
  InstanceMapping();
  InstanceMapping(const InstanceMapping&) = delete;
  InstanceMapping& operator=(const InstanceMapping&) = delete;

  bool ExistedBefore() const { return existed_; }

 private:
  scoped_handle mapping_;
  bool existed_ = false;
};

// Posts WM_QUIT to the application's main window, if there is one; does not wait for it to end.
void AskApplicationToQuit();

}  // namespace velmora
