#include "environment/user_rights.h"

#include <windows.h>
#include <shlobj.h>

namespace velmora {
namespace {
IsUserAnAdminFn g_isUserAnAdmin = nullptr;
}

bool UserIsAdmin() { return (g_isUserAnAdmin ? g_isUserAnAdmin() : IsUserAnAdmin()) != 0; }

void SetIsUserAnAdminForTesting(IsUserAnAdminFn function) { g_isUserAnAdmin = function; }

}  // namespace velmora
