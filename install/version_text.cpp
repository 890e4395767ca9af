#include "install/version_text.h"

#include <cstdint>

namespace velmora {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The usual text-to-integer rules of version numbers: leading spaces, an optional sign, then
// decimal digits, or hexadecimal digits after "$" or "0x". Decimal numbers must fit a signed
// 32-bit integer; hexadecimal ones give a 32-bit pattern. Anything else fails.
bool ParseNumber(const std::string& text, int32_t& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == text.size()) return false;
  const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) return false;
    magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (magnitude > limit) return false;
  }
  const uint32_t bits = static_cast<uint32_t>(magnitude);
  value = static_cast<int32_t>(negative ? 0u - bits : bits);
  return true;
}

// Takes the component before the first "." when that dot is not the first character.
// Returns false when there is no such dot (the text keeps its previous component).
bool SplitComponent(std::string& text, std::string& component) {
  const size_t dot = text.find('.');
  if (dot == std::string::npos || dot == 0) return false;
  component = text.substr(0, dot);
  text.erase(0, dot + 1);
  return true;
}

}  // namespace

bool IsOlderVersion(const std::string& newText, const std::string& installedText) {
  std::string rest_new = newText;
  std::string rest_installed = installedText;
  int32_t installed = 0;
  int32_t fresh = 0;

  // A text without a leading component has nothing to compare part by part: the two texts are
  // then compared whole, as single numbers.
  const auto dotted = [](const std::string& text) {
    const size_t dot = text.find('.');
    return dot != std::string::npos && dot > 0;
  };
  if (!dotted(rest_installed) || !dotted(rest_new)) {
    if (!ParseNumber(rest_installed, installed)) return false;
    if (!ParseNumber(rest_new, fresh)) return true;
    return installed > fresh;
  }

  std::string component;
  for (int pass = 0; pass < 3; ++pass) {
    if (SplitComponent(rest_installed, component) && !ParseNumber(component, installed)) return false;
    if (SplitComponent(rest_new, component) && !ParseNumber(component, fresh)) return true;
    if (installed != fresh) return installed > fresh;
  }
  if (!ParseNumber(rest_installed, installed)) return false;
  if (!ParseNumber(rest_new, fresh)) return true;
  return installed > fresh;
}

std::string MakeTempFileName(const std::string& path) {
  // The search starts before the last character, so a trailing backslash is not the one used.
  size_t insert = 0;
  for (size_t i = path.size() >= 2 ? path.size() - 1 : 0; i > 0; --i) {
    if (path[i - 1] == '\\') {
      insert = i;
      break;
    }
  }
  std::string result = path;
  result.insert(insert, 1, '~');
  return result;
}

}  // namespace velmora
