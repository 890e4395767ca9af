#include "startup/path_helpers.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(PathHelpers, IncludeTrailingBackslashAddsAtMostOne) {
  struct Case { const char* in; const char* out; } cases[] = {
      {"", ""}, {"C:", "C:\\"}, {"C:\\", "C:\\"}, {"C:\\A\\\\", "C:\\A\\\\"}, {"Velmora", "Velmora\\"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    std::string path = c.in;
    IncludeTrailingBackslash(path);
    EXPECT_EQ(path, c.out);
  }
}

TEST(PathHelpers, ExcludeTrailingBackslashRemovesAtMostOne) {
  struct Case { const char* in; const char* out; } cases[] = {
      {"", ""}, {"\\", ""}, {"C:\\Program Files\\Velmora\\", "C:\\Program Files\\Velmora"},
      {"C:\\A\\\\", "C:\\A\\"}, {"C:\\A", "C:\\A"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    const std::string in = c.in;
    EXPECT_EQ(ExcludeTrailingBackslash(in), c.out);
    EXPECT_EQ(in, c.in);
  }
}

}  // namespace
}  // namespace velmora
