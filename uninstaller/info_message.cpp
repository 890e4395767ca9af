#include "uninstaller/info_message.h"

#include "startup/messages.h"

namespace velmora {

void ShowInfoMessage(const std::string& english, const std::string& russian) {
  ShowLocalizedMessage(english, russian, kInfoFlags);
}

}  // namespace velmora
