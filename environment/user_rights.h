#pragma once
// Whether the user has administrator rights, with a seam for tests: Wine always says yes.

namespace velmora {

// IsUserAnAdmin() of the shell, or the test's stand-in.
bool UserIsAdmin();

// Replaces IsUserAnAdmin until called again with nullptr; the function returns nonzero for "admin".
using IsUserAnAdminFn = int (*)();
void SetIsUserAnAdminForTesting(IsUserAnAdminFn function);

}  // namespace velmora
