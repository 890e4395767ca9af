#pragma once
// The install date as the list of installed programs keeps it.

#include <string>

namespace velmora {

// Year as many digits as it has, then month and day as two digits each: 2021, 3, 5 -> "20210305".
std::string FormatInstallDate(int year, int month, int day);

}  // namespace velmora
