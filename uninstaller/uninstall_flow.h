#pragma once
// The uninstaller's run: it has no window of its own and speaks through message boxes only.

namespace velmora {

inline constexpr char kConfirmationCaptionRu[] = "Подумайте лучше";
inline constexpr char kConfirmationCaptionEn[] = "Think it over";

// The whole program after the start-up initialization: asks a running application to quit, fills
// the constants, probes and uninstalls. Keeps the instance mapping until it returns.
void RunUninstaller();

// Product constants of the uninstaller's context.
void SetUninstallerConstants();

// Rights, the program folder, the confirmation and the removal. True when the removal script has
// been started.
bool RunUninstall();

}  // namespace velmora
