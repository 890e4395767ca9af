#pragma once
// Russian or English: decided once at start from the user's default locale.

namespace velmora {

// True for the seven Cyrillic locale identifiers, compared whole (language, sublanguage, sort order).
bool IsCyrillicLocaleId(unsigned long lcid);

}  // namespace velmora
