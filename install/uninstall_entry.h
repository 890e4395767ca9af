#pragma once
// The product's entry in the system's list of installed programs.

#include <cstdint>
#include <string>

namespace velmora {

// Opens or creates the Uninstall key through Context().Registry and writes its values; the key stays
// open. Throws WinError when a value cannot be written.
void WriteUninstallEntry();

// Writes EstimatedSize, closes the key, deletes LegacyUninstallKey when set. Throws WinError.
void FinishUninstallEntry();

// KiB of all files below the folder (32-bit wrapping sum), or -1 when it is empty text or missing.
int32_t GetFolderSizeKiB(const std::string& folder);

// Today's local date as YYYYMMDD.
std::string GetInstallDateText();

}  // namespace velmora
