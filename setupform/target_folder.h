#pragma once
// Checks on the target folder typed in the setup form.

#include <string>

namespace velmora {

// The folder's path must name the product: "velmora" anywhere in it, in any letter case.
bool NamesProduct(const std::string& path);

// True when the folder exists or has been created together with its missing parents. Only a full
// path (drive or network share) qualifies: a relative one would depend on the current folder.
// Parents created before a failure stay.
bool EnsureFolderExists(const std::string& path);

}  // namespace velmora
