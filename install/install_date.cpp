#include "install/install_date.h"

namespace velmora {
namespace {

std::string TwoDigits(int value) {
  std::string text = std::to_string(value);
  return value < 10 ? "0" + text : text;
}

}  // namespace

std::string FormatInstallDate(int year, int month, int day) {
  return std::to_string(year) + TwoDigits(month) + TwoDigits(day);
}

}  // namespace velmora
