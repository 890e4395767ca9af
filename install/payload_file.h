#pragma once
// Writes one carried file from the installer's resources to the target folder, guarding installed
// executables against replacement by an older version.

#include <string>

namespace velmora {

// Resource type = kind (the extension), name = resourceName. Reports its own failures; never throws.
void InstallPayloadFile(const std::string& resourceName, const std::string& kind, const std::string& targetPath,
                        bool guarded);

// The FileVersion text of an executable's version resource, or empty.
std::string GetFileVersionText(const std::string& path);

}  // namespace velmora
