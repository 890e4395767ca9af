#include "environment/captured_output.h"

namespace velmora {

std::string JoinCapturedLines(std::string_view content) {
  std::string result;
  size_t position = 0;
  do {
    size_t end = content.find('\n', position);
    const size_t next = end == std::string_view::npos ? content.size() : end + 1;
    if (end == std::string_view::npos) end = content.size();
    if (end > position && content[end - 1] == '\r') --end;
    result.append(content.substr(position, end - position));
    result += "\r\n";
    position = next;
  } while (position < content.size());
  return result;
}

}  // namespace velmora
