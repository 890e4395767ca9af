#pragma once
// The installer carries everything it installs; before anything else it checks that its own file
// is intact, against the digest that the build sealed into it.

namespace velmora {

enum class PackageState { Intact, Altered, Unverifiable };

// Checks the file at `path`, a sealed executable of this build (the slot marker is this program's).
// Unverifiable when the file cannot be opened, mapped or hashed; Altered when it is not the file
// that was sealed or a signed copy of it.
PackageState CheckPackageFile(const char* path);

// Checks the file at `path`; on Altered or Unverifiable shows the matching error and returns false.
bool VerifyPackageFile(const char* path);

// VerifyPackageFile for the running executable.
bool VerifyPackage();

}  // namespace velmora
