#pragma once
// Names the running Windows from facts read off the system. The facts are gathered elsewhere
// (os_identification.cpp); everything here is a plain decision on them, so each rule can be
// replayed from values recorded on real systems.

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

inline constexpr uint32_t kPlatformWindows9x = 1;  // VER_PLATFORM_WIN32_WINDOWS
inline constexpr uint32_t kPlatformWindowsNt = 2;  // VER_PLATFORM_WIN32_NT

inline constexpr uint16_t kArchitectureX86 = 0;
inline constexpr uint16_t kArchitectureIa64 = 6;
inline constexpr uint16_t kArchitectureAmd64 = 9;

inline constexpr uint8_t kProductWorkstation = 1;  // VER_NT_WORKSTATION

struct WindowsFacts {
  // GetVersionExA; `extended` is true when the 156-byte OSVERSIONINFOEXA was accepted, and only
  // then do suiteMask and productType mean anything.
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;  // the whole dwBuildNumber
  uint32_t platform = 0;
  std::string csdVersion;  // up to its first NUL
  bool extended = false;
  uint16_t suiteMask = 0;
  uint8_t productType = 0;

  uint16_t architecture = 0;  // of the native system, not of this 32-bit process

  // GetSystemMetrics SM_TABLETPC, SM_MEDIACENTER, SM_STARTER, SM_SERVERR2.
  bool tabletPc = false;
  bool mediaCenter = false;
  bool starter = false;
  bool serverR2 = false;

  // Costly or registry-held facts, gathered only when NeededFacts asks for them.
  std::string verOutput;                          // output of the "ver" command
  std::optional<std::string> productName;         // "ProductName", 64-bit view; absent or unreadable: none
  std::optional<std::string> productOptionsType;  // "ProductType" of ProductOptions when it is REG_SZ
  bool hotfixQ246009 = false;                     // the Q246009 hotfix key opens
};

struct NeededFacts {
  bool verOutput = false;
  bool productName = false;
  bool productOptionsType = false;
  bool hotfixQ246009 = false;
};

// Which of the on-demand facts the decision will look at, given the version facts.
NeededFacts FactsNeededFor(const WindowsFacts& facts);

// Product name ("Microsoft Windows XP Professional", "Windows 10 Pro 64-bit") and service-pack
// text. False for a platform that is neither Windows 9x nor Windows NT; the outputs are then empty.
bool IdentifyWindowsFromFacts(const WindowsFacts& facts, std::string& name, std::string& servicePack);

// The name, then one blank and the service pack unless that is blank once trimmed.
std::string ComposeDescription(const std::string& name, const std::string& servicePack);

// The 64-bit test applied to a description: it contains " 64".
bool DescribesSixtyFourBitWindows(const std::string& description);

// The version piece that the "ver" output gives for a system reporting 6.2.
std::string PieceFromVerOutput(const std::string& verOutput, bool workstation);

// The piece taken out of the "ver" output when nothing else names the version: "Server " unless a
// workstation, the text from the first "ion" + 4 to just before the first ".", then a blank.
std::string FallbackPieceFromVerOutput(const std::string& verOutput, bool workstation);

}  // namespace velmora
