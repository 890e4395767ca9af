#include "environment/os_identification.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <optional>

#include "environment/captured_output.h"
#include "environment/windows_edition.h"
#include "startup/install_context.h"
#include "startup/unique_handle.h"

namespace velmora {
namespace {

using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);

constexpr DWORD kExtendedInfoSize = 156;  // OSVERSIONINFOEXA
constexpr DWORD kBasicInfoSize = 148;     // OSVERSIONINFOA
static_assert(sizeof(OSVERSIONINFOEXA) == kExtendedInfoSize && sizeof(OSVERSIONINFOA) == kBasicInfoSize);

constexpr DWORD kComSpecBufferSize = 260;

// Older systems refuse the extended structure; the basic one then carries no edition facts.
bool ReadVersionFacts(WindowsFacts& facts) {
  OSVERSIONINFOEXA info{};
  info.dwOSVersionInfoSize = kExtendedInfoSize;
  facts.extended = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)) != 0;
  if (!facts.extended) {
    info = {};
    info.dwOSVersionInfoSize = kBasicInfoSize;
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return false;
  }
  facts.major = info.dwMajorVersion;
  facts.minor = info.dwMinorVersion;
  facts.build = info.dwBuildNumber;
  facts.platform = info.dwPlatformId;
  facts.csdVersion.assign(info.szCSDVersion, strnlen(info.szCSDVersion, sizeof info.szCSDVersion));
  facts.suiteMask = info.wSuiteMask;
  facts.productType = info.wProductType;
  return true;
}

// A 32-bit process sees an emulated x86 unless it asks for the native system, which only newer
// systems can tell.
uint16_t ReadNativeArchitecture() {
  SYSTEM_INFO info{};
  const auto getNative = reinterpret_cast<GetNativeSystemInfoFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetNativeSystemInfo")));
  if (getNative)
    getNative(&info);
  else
    GetSystemInfo(&info);
  return info.wProcessorArchitecture;
}

// A text value (REG_SZ or REG_EXPAND_SZ) of an HKLM key; none when the key, the value or its text
// cannot be had.
std::optional<std::string> ReadMachineText(const char* path, const char* name, REGSAM access) {
  scoped_hkey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access, key.receive()) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  std::string text(size, '\0');
  if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  text.resize(size);
  if (const size_t zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
  return text;
}

// "ProductType" of ProductOptions, read into a fixed 256-byte buffer; only REG_SZ counts.
std::optional<std::string> ReadProductOptionsType() {
  scoped_hkey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0, KEY_QUERY_VALUE,
                    key.receive()) != ERROR_SUCCESS)
    return std::nullopt;
  char buffer[256] = {};
  DWORD type = 0, size = sizeof buffer;
  if (RegQueryValueExA(key.get(), "ProductType", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  return std::string(buffer, strnlen(buffer, size));
}

bool HotfixQ246009Installed() {
  scoped_hkey key;
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009", 0,
                       KEY_QUERY_VALUE, key.receive()) == ERROR_SUCCESS;
}

std::string EnvironmentVariable(const char* name) {
  const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
  if (size == 0) return {};
  std::string value(size, '\0');
  const DWORD length = GetEnvironmentVariableA(name, value.data(), size);
  value.resize(length < size ? length : 0);
  return value;
}

// The whole file as bytes; a missing file reads as empty, and a read that fails part-way keeps
// what came before it.
std::string ReadWholeFile(const std::string& path) {
  std::string content;
  scoped_handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return content;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) content.append(chunk, got);
  return content;
}

}  // namespace

bool IdentifyWindows(std::string& name, std::string& servicePack) {
  name.clear();
  servicePack.clear();
  WindowsFacts facts;
  if (!ReadVersionFacts(facts)) return false;
  facts.architecture = ReadNativeArchitecture();
  facts.tabletPc = GetSystemMetrics(SM_TABLETPC) != 0;
  facts.mediaCenter = GetSystemMetrics(SM_MEDIACENTER) != 0;
  facts.starter = GetSystemMetrics(SM_STARTER) != 0;
  facts.serverR2 = GetSystemMetrics(SM_SERVERR2) != 0;

  const NeededFacts needed = FactsNeededFor(facts);
  if (needed.verOutput) facts.verOutput = RunCommandCapture("ver");
  // The 64-bit view: a 32-bit process would otherwise read the redirected copy of the key.
  if (needed.productName)
    facts.productName = ReadMachineText("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "ProductName",
                                        KEY_QUERY_VALUE | KEY_WOW64_64KEY);
  if (needed.productOptionsType) facts.productOptionsType = ReadProductOptionsType();
  if (needed.hotfixQ246009) facts.hotfixQ246009 = HotfixQ246009Installed();

  return IdentifyWindowsFromFacts(facts, name, servicePack);
}

std::string DescribeWindows() {
  std::string name, servicePack;
  if (!IdentifyWindows(name, servicePack)) return "unknown";
  std::string description = ComposeDescription(name, servicePack);
  Context().Is64BitWindows = DescribesSixtyFourBitWindows(description);
  return description;
}

std::string RunCommandCapture(const std::string& command) {
  // A longer ComSpec does not fit the buffer and counts as not set.
  char comSpec[kComSpecBufferSize];
  const DWORD comSpecLength = GetEnvironmentVariableA("ComSpec", comSpec, sizeof comSpec);
  if (comSpecLength == 0 || comSpecLength >= sizeof comSpec) return {};

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;

  std::string path = EnvironmentVariable("Temp");
  if (!path.empty() && path.back() != '\\') path += '\\';
  for (int i = 0; i < 8; ++i) path += static_cast<char>('a' + std::rand() % 26);

  std::string commandLine = std::string(comSpec, comSpecLength) + " /c " + command + " > \"" + path + "\"";
  PROCESS_INFORMATION process{};
  if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                     CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &process)) {
    scoped_handle processHandle(process.hProcess);
    scoped_handle threadHandle(process.hThread);
    WaitForSingleObject(processHandle.get(), INFINITE);
  }

  std::string result = JoinCapturedLines(ReadWholeFile(path));
  DeleteFileA(path.c_str());
  // Console programs write in the OEM code page.
  OemToCharBuffA(result.data(), result.data(), static_cast<DWORD>(result.size()));
  return result;
}

}  // namespace velmora
