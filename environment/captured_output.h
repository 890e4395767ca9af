#pragma once
// Turns the bytes a console command left in its output file into the text the callers expect.

#include <string>
#include <string_view>

namespace velmora {

// Every line of `content` followed by CR LF. A line ends at a line feed, a carriage return just
// before it is dropped, and a last line without one still counts. The first line is read before
// the end is tested, so an empty file gives exactly one CR LF.
std::string JoinCapturedLines(std::string_view content);

}  // namespace velmora
