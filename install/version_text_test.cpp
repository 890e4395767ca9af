#include "install/version_text.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct VersionCase {
  const char* installed;
  const char* fresh;
  bool older;
};

void ExpectCases(const std::initializer_list<VersionCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("installed '") + c.installed + "', new '" + c.fresh + "'");
    EXPECT_EQ(IsOlderVersion(c.fresh, c.installed), c.older);
  }
}

TEST(IsOlderVersion, ComparesComponentByComponent) {
  ExpectCases({
      {"7700.0.0.1", "7700.0.0.0", true},
      {"7700.0.0.0", "7700.0.0.1", false},
      {"7700.0.0.0", "7700.0.0.0", false},
      {"7700.1.0", "7700.0.9", true},
      {"7700.0.0.0", "7700.0.1.0", false},
      {"7701.0.0.0", "7700.9.9.9", true},
      {"7700.9.9.9", "7701.0.0.0", false},
      {"1.2", "1.1", true},
      {"1.1", "1.2", false},
      {"1.2.3", "1.2.2", true},
      {"10.0.0.0", "9.0.0.0", true},  // numbers, not text
      {"2.10.0.0", "2.9.0.0", true},
  });
}

TEST(IsOlderVersion, FifthComponentLeavesAnUnconvertibleRest) {
  ExpectCases({
      {"1.2.3.4.5", "1.2.3.4", false},    // the installed rest "4.5" fails: not older
      {"1.2.3.4", "1.2.3.4.5", true},     // the new rest fails: older
      {"1.2.3.4.5", "1.2.3.4.5", false},  // the installed text is converted first
      {"1.2.3.4.5", "1.2.4.0", false},    // an earlier component still decides
      {"1.2.4.0", "1.2.3.4.5", true},
  });
}

TEST(IsOlderVersion, NumbersTakeSpacesSignsAndHexadecimal) {
  ExpectCases({
      {" 7700.0.0.1", "7700.0.0.0", true},
      {"7700. 1.0.0", "7700.0.0.0", true},
      {"+7700.0.0.1", "7700.0.0.0", true},
      {"7700.0.0.0", "-7700.0.0.0", true},
      {"-1.0.0.0", "0.0.0.0", false},
      {"$10.0.0.0", "15.0.0.0", true},
      {"0x10.0.0.0", "16.0.0.0", false},
      {"0X1f.0.0.0", "$1E.0.0.0", true},
      {"-$10.0.0.0", "-17.0.0.0", true},
      {"2147483647.0.0.0", "-2147483648.0.0.0", true},
      {"$7FFFFFFF.0.0.0", "1.0.0.0", true},
      {"$FFFFFFFF.0.0.0", "0.0.0.0", false},  // the 32-bit pattern of -1
  });
}

TEST(IsOlderVersion, UnconvertibleInstalledTextIsNeverNewerAndUnconvertibleNewTextIsOlder) {
  ExpectCases({
      {"abc.0.0.0", "1.0.0.0", false},
      {"1.0.0.0", "abc.0.0.0", true},
      {"7700 .0.0.1", "7700.0.0.0", false},  // a trailing space is another character
      {"7700.0.0.0", "7700.0.0.0 ", true},
      {"2147483648.0.0.0", "1.0.0.0", false},  // overflow
      {"1.0.0.0", "2147483648.0.0.0", true},
      {"$100000000.0.0.0", "1.0.0.0", false},
      {"0x.0.0.0", "1.0.0.0", false},
      {"$.0.0.0", "1.0.0.0", false},
      {"-.0.0.0", "1.0.0.0", false},
      {"1.0.0.1", "1.0.0.", true},  // an empty rest
  });
}

TEST(IsOlderVersion, TextsWithoutALeadingComponentCompareAsWholeNumbers) {
  ExpectCases({
      {"5", "4", true},
      {"4", "5", false},
      {"$A", "9", true},
      {"", "7700.0.0.0", false},
      {"7700.0.0.1", "", false},  // the installed text does not convert whole
      {"7", "", true},
      {"", "", false},
      {".5", "4", false},
      {"7", ".5", true},
      {"7700.0.0.1", "7700", false},
      {"7701", "7700", true},
      {"garbage", "7700.0.0.0", false},
      {"7700", "garbage", true},
  });
}

TEST(IsOlderVersion, TextWithoutAFurtherDotKeepsItsPreviousComponent) {
  ExpectCases({
      {"7700.5", "7700.4.9.9", true},    // the second pass compares the kept 7700 with 4
      {"7700.4.9.9", "7700.5", false},
      {"1.2.3", "1.2.2.9", false},       // the third pass keeps 2 against 2; the rests 3 and 9 decide
      {"1..0.0", "1.0.0.0", true},       // a dot at the front is no component: 1 is kept against 0
  });
}

TEST(MakeTempFileName, InsertsTildeAfterTheLastBackslashBeforeTheEnd) {
  struct Case { const char* in; const char* out; } cases[] = {
      {"C:\\Program Files\\Velmora\\Velmora.exe", "C:\\Program Files\\Velmora\\~Velmora.exe"},
      {"C:\\Velmora\\", "C:\\~Velmora\\"},  // the last character is not searched
      {"Velmora.exe", "~Velmora.exe"},
      {"\\Velmora.exe", "\\~Velmora.exe"},
      {"a\\b", "a\\~b"},
      {"\\", "~\\"},
      {"", "~"},
      {"C:\\\\", "C:\\~\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(MakeTempFileName(c.in), c.out);
  }
}

}  // namespace
}  // namespace velmora
