#include "install/install_date.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(FormatInstallDate, YearThenTwoDigitMonthAndDay) {
  struct Case { int year, month, day; const char* text; } cases[] = {
      {2021, 3, 5, "20210305"}, {2021, 12, 31, "20211231"}, {1999, 10, 9, "19991009"},
      {2000, 1, 10, "20000110"}, {987, 6, 7, "9870607"}, {30827, 12, 31, "308271231"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatInstallDate(c.year, c.month, c.day), c.text);
  }
}

}  // namespace
}  // namespace velmora
