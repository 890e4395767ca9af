#include "startup/cyrillic_locale.h"

namespace velmora {

bool IsCyrillicLocaleId(unsigned long lcid) {
  // Bulgarian, Russian, Ukrainian, Belarusian, Kazakh, Tatar, Russian (Moldova).
  constexpr unsigned long kCyrillic[] = {0x0402, 0x0419, 0x0422, 0x0423, 0x043F, 0x0444, 0x0819};
  for (unsigned long id : kCyrillic)
    if (id == lcid) return true;
  return false;
}

}  // namespace velmora
