#pragma once
// Process start and end shared by the installer and the uninstaller.

namespace velmora {

// Seeds the random generator, chooses the language, describes Windows (for the registry view)
// and creates the shared registry accessor. Runs once, before the program's own work.
void InitializeStartup();

// Destroys the registry accessor (closing its key) and releases the context's strings.
void FinalizeStartup();

// Runs the initialization for the lifetime of a scope: the entry points hold one of these.
class StartupScope {
 public:
  StartupScope() { InitializeStartup(); }
  ~StartupScope() { FinalizeStartup(); }
  StartupScope(const StartupScope&) = delete;
  StartupScope& operator=(const StartupScope&) = delete;
};

}  // namespace velmora
