#include "environment/captured_output.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(JoinCapturedLines, EndsEveryLineWithCarriageReturnAndLineFeed) {
  using namespace std::string_view_literals;
  struct Row {
    std::string_view content;
    std::string_view joined;
  } const rows[] = {
      {"", "\r\n"},
      {"\r\n", "\r\n"},
      {"\n", "\r\n"},
      {"one", "one\r\n"},
      {"one\r\ntwo\r\n", "one\r\ntwo\r\n"},
      {"one\r\ntwo", "one\r\ntwo\r\n"},
      {"one\ntwo\n", "one\r\ntwo\r\n"},
      {"\r\nMicrosoft Windows 10.0.19045\r\n", "\r\nMicrosoft Windows 10.0.19045\r\n"},
      {"a\r\n\r\n\r\nb", "a\r\n\r\n\r\nb\r\n"},
      {"lone\rreturn\n", "lone\rreturn\r\n"},
      // An embedded zero survives.
      {"nul\0inside\n"sv, "nul\0inside\r\n"sv},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.content));
    EXPECT_EQ(JoinCapturedLines(row.content), row.joined);
  }
}

}  // namespace
}  // namespace velmora
