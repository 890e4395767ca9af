#include "startup/cyrillic_locale.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(CyrillicLocale, SevenIdentifiersCountAndNoOthers) {
  for (unsigned long id : {1026ul, 1049ul, 1058ul, 1059ul, 1087ul, 1092ul, 2073ul}) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(IsCyrillicLocaleId(id));
  }
  // Other Cyrillic-script locales, English, and Russian with another sort order.
  for (unsigned long id : {3098ul, 1071ul, 1088ul, 1104ul, 1033ul, 0ul, 0x10419ul}) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(IsCyrillicLocaleId(id));
  }
}

}  // namespace
}  // namespace velmora
