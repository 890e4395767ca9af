#include "startup/install_context.h"

namespace velmora {

InstallContext& Context() {
  static InstallContext context;
  return context;
}

}  // namespace velmora
