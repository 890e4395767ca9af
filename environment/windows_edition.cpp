#include "environment/windows_edition.h"

#include <charconv>

namespace velmora {
namespace {

bool HasSuite(const WindowsFacts& facts, uint16_t bit) { return (facts.suiteMask & bit) != 0; }

bool IsWorkstation(const WindowsFacts& facts) { return facts.productType == kProductWorkstation; }

// The majors that the NT version table names; any other is read off the "ver" output.
bool IsKnownNtMajor(uint32_t major) {
  return major == 3 || major == 4 || major == 5 || major == 6 || major == 10;
}

// Windows 95 keeps its release letter in the second character, after a blank.
char CsdLetter(const WindowsFacts& facts) { return facts.csdVersion.size() > 1 ? facts.csdVersion[1] : '\0'; }

std::string Windows9xPiece(const WindowsFacts& facts) {
  if (facts.major != 4) return "Unknown 9x";
  const uint32_t build = facts.build & 0xFFFF;
  const char letter = CsdLetter(facts);
  switch (facts.minor) {
    case 0:
    case 3:
      if (build == 1111) return "95 OSR 2.0";
      if (build == 1212 || build == 1213) return "95 OSR 2.1";
      if (build == 1214) return letter == 'C' ? "95 OSR 2.5" : "95 OSR 2.1";
      if (build > 1080) return "95 OSR 2.x";
      return (letter == 'A' || letter == 'W') ? "95 OSR 1" : "95";
    case 10:
      return (facts.build == 2222 || letter == 'A' || letter == 'B') ? "98 SE" : "98";
    case 90:
      return "Millennium";
    default:
      return "Unknown 9x";
  }
}

std::string NtVersionPiece(const WindowsFacts& facts) {
  const bool workstation = IsWorkstation(facts);
  switch (facts.major) {
    case 3:
    case 4:
      return "NT ";
    case 5:
      if (facts.minor == 0) return "2000 ";
      if (facts.minor == 1) return "XP ";
      if (facts.minor == 2) {
        if (facts.serverR2) return "Server 2003 R2 ";
        if (facts.suiteMask == 0x2000) return "Storage Server 2003";
        if (workstation && facts.architecture == kArchitectureAmd64) return "XP ";
        return "Server 2003 ";
      }
      return "Unknown version ";
    case 6:
      if (facts.minor == 0) return workstation ? "Vista " : "Server 2008 ";
      if (facts.minor == 1) return workstation ? "7 " : "Server 2008 R2 ";
      if (facts.minor == 2) return PieceFromVerOutput(facts.verOutput, workstation);
      if (facts.minor == 3) return workstation ? "8.1 " : "Server 2012 R2 ";
      return {};
    case 10:
      if (facts.minor == 0) return workstation ? "10 " : "Server 2016 ";
      return {};
    default:
      return FallbackPieceFromVerOutput(facts.verOutput, workstation);
  }
}

std::string ServerEditionOf52(const WindowsFacts& facts) {
  switch (facts.architecture) {
    case kArchitectureX86:
      if (HasSuite(facts, 0x4000)) return "Computer Cluster";
      if (HasSuite(facts, 0x0080)) return "Datacenter";
      if (HasSuite(facts, 0x0002)) return "Enterprise";
      if (facts.suiteMask == 0x0400) return "Web";
      return "Standard";
    case kArchitectureIa64:
      if (HasSuite(facts, 0x0080)) return "Datacenter for Itanium-based Systems";
      if (HasSuite(facts, 0x0002)) return "Enterprise for Itanium-based Systems";
      return "Standard Itanium-based";
    case kArchitectureAmd64:
      if (HasSuite(facts, 0x0080)) return "Datacenter x64";
      if (HasSuite(facts, 0x0002)) return "Enterprise x64";
      return "Standard x64";
    default: {
      char hex[8];
      const auto end = std::to_chars(hex, hex + sizeof hex, facts.architecture, 16).ptr;
      return "Unknown on Architecture 0x" + std::string(hex, end);
    }
  }
}

// The edition piece of every major version except 6, chosen by the product type.
std::string EditionPiece(const WindowsFacts& facts) {
  const uint32_t major = facts.major;
  const uint32_t minor = facts.minor;
  switch (facts.productType) {
    case 1:
      if (major == 4) return "Workstation";
      if (major == 5) {
        if (minor == 2 && facts.architecture == kArchitectureAmd64) return "Professional x64";
        if (facts.starter) return "Starter";
        if (facts.mediaCenter) return "Media Center";
        if (facts.tabletPc) return "Tablet PC";
        if (HasSuite(facts, 0x0200)) return "Home";
        if (HasSuite(facts, 0x0040)) return "Embedded";
        return "Professional";
      }
      return "Unknown Workstation";
    case 2:
    case 3:
      if (major == 4) return HasSuite(facts, 0x0002) ? "Server 4.0 Enterprise" : "Server 4.0";
      if (major == 5 && minor == 0) {
        if (HasSuite(facts, 0x0080)) return "Datacenter Server";
        if (HasSuite(facts, 0x0002)) return "Advanced Server";
        return "Server";
      }
      if (major == 5 && minor == 2) return ServerEditionOf52(facts);
      return facts.productType == 3 ? "Unknown Server" : "Unknown Domain controller";
    default:
      return "Unknown";
  }
}

std::string ProductOptionsPiece(const std::optional<std::string>& productType) {
  if (!productType) return {};
  std::string upper = *productType;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (upper == "WINNT") return "Workstation";
  if (upper == "LANMANNT") return "Server";
  if (upper == "SERVERNT") return "Advanced Server";
  return "Unknown";
}

bool IsTrimmedAway(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

NeededFacts FactsNeededFor(const WindowsFacts& facts) {
  NeededFacts needed;
  if (facts.platform != kPlatformWindowsNt) return needed;
  needed.verOutput = (facts.major == 6 && facts.minor == 2) || !IsKnownNtMajor(facts.major);
  needed.productName = facts.extended && facts.major == 6;
  needed.productOptionsType = !facts.extended;
  needed.hotfixQ246009 = facts.major == 4 && facts.csdVersion == "Service Pack 6";
  return needed;
}

bool IdentifyWindowsFromFacts(const WindowsFacts& facts, std::string& name, std::string& servicePack) {
  name.clear();
  servicePack.clear();
  if (facts.platform == kPlatformWindows9x) {
    name = "Microsoft Windows " + Windows9xPiece(facts);
    servicePack = facts.csdVersion;
    return true;
  }
  if (facts.platform != kPlatformWindowsNt) return false;

  name = "Microsoft Windows " + NtVersionPiece(facts);
  if (facts.extended) {
    if (facts.major == 6) {
      // From Vista on the registry names the edition better than any table could.
      if (facts.productName) name = *facts.productName;
      if (facts.architecture == kArchitectureAmd64) name += " 64-bit";
      if (facts.architecture == kArchitectureX86) name += " 32-bit";
    } else {
      name += EditionPiece(facts);
    }
  } else {
    name += ProductOptionsPiece(facts.productOptionsType);
  }

  servicePack = facts.csdVersion;
  if (facts.major == 4 && facts.csdVersion == "Service Pack 6" && facts.hotfixQ246009) servicePack = "Service Pack 6a";
  return true;
}

std::string ComposeDescription(const std::string& name, const std::string& servicePack) {
  for (char c : servicePack)
    if (!IsTrimmedAway(c)) return name + " " + servicePack;
  return name;
}

bool DescribesSixtyFourBitWindows(const std::string& description) {
  return description.find(" 64") != std::string::npos;
}

std::string PieceFromVerOutput(const std::string& verOutput, bool workstation) {
  if (verOutput.find(" 6.2") != std::string::npos) return workstation ? "8 " : "Server 2012 ";
  if (verOutput.find(" 6.3") != std::string::npos) return workstation ? "8.1 " : "Server 2012 R2 ";
  if (verOutput.find(" 10") != std::string::npos) return workstation ? "10 " : "Server 10 ";
  return FallbackPieceFromVerOutput(verOutput, workstation);
}

std::string FallbackPieceFromVerOutput(const std::string& verOutput, bool workstation) {
  // Positions count from 1 and a missing text is at position 0, so without "ion" the part starts
  // at the fourth character, and without "." its length is negative.
  const size_t ion = verOutput.find("ion");
  const size_t dot = verOutput.find('.');
  const long long start = (ion == std::string::npos ? 0 : static_cast<long long>(ion) + 1) + 4;
  const long long end = dot == std::string::npos ? 0 : static_cast<long long>(dot) + 1;
  std::string part;
  if (end - start > 0 && start - 1 < static_cast<long long>(verOutput.size()))
    part = verOutput.substr(static_cast<size_t>(start - 1), static_cast<size_t>(end - start));
  return (workstation ? "" : "Server ") + part + " ";
}

}  // namespace velmora
