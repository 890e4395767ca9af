#pragma once
// Describes the running Windows in one line ("Windows 10 Pro 64-bit") and derives Is64BitWindows.

#include <string>

namespace velmora {

// The description, or "unknown"; sets Context().Is64BitWindows when the system could be identified.
std::string DescribeWindows();

// Product name and service-pack text from the version facts; false when they cannot be read.
bool IdentifyWindows(std::string& name, std::string& servicePack);

// Runs `command` through %ComSpec% with its output redirected to a file in %Temp%, and returns
// the output converted to the ANSI code page, each line followed by CR LF.
std::string RunCommandCapture(const std::string& command);

}  // namespace velmora
