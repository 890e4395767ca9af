#pragma once
// What this build installs: fixed when the installer is built, never configured at run time.

#include <cstdint>

namespace velmora {

inline constexpr char kAppFileName[] = "Velmora";
inline constexpr char kProductTitle[] = "Velmora";
inline constexpr char kProductNameRu[] = "Вельмора";
inline constexpr char kProductNameEn[] = "Velmora Suite";
inline constexpr char kVersionText[] = "7700";
inline constexpr int32_t kVersionMajor = 7700;
inline constexpr int32_t kVersionMinor = 0;
inline constexpr char kPublisherNameRu[] = "Бревик";
inline constexpr char kPublisherNameEn[] = "Brevik";
inline constexpr char kWebSiteAddress[] = "https://velmora.ru";

inline constexpr char kPathRuleMessageRu[] =
    "Строка пути к папке с установленной программой обязательно должна содержать в себе слово \"Velmora\"";
inline constexpr char kMainWindowClass[] = "TVelmoraMainForm";
inline constexpr char kInstanceMappingName[] = "velmora_memfile";
inline constexpr char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\";
inline constexpr char kMakerKey[] = "Software\\Brevik\\";

}  // namespace velmora
