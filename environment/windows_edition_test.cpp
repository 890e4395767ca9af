#include "environment/windows_edition.h"

#include <gtest/gtest.h>

#include <vector>

// Rows name only the facts they set; the rest keep the struct's defaults on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace velmora {
namespace {

struct IdentityRow {
  const char* system;
  WindowsFacts facts;
  const char* name;
  const char* servicePack;
};

constexpr uint32_t k9x = kPlatformWindows9x;
constexpr uint32_t kNt = kPlatformWindowsNt;
const char kVer10[] = "\r\nMicrosoft Windows [Version 10.0.19045.3803]\r\n";

// Version facts as the systems report them (9x builds carry major and minor in the high word).
const std::vector<IdentityRow> kIdentities = {
    {"95 retail", {.major = 4, .minor = 0, .build = 0x040003B6, .platform = k9x, .csdVersion = " "},
     "Microsoft Windows 95", " "},
    {"95 OSR1", {.major = 4, .minor = 0, .build = 0x040003B6, .platform = k9x, .csdVersion = " A"},
     "Microsoft Windows 95 OSR 1", " A"},
    {"95 letter W", {.major = 4, .minor = 0, .build = 1080, .platform = k9x, .csdVersion = " W"},
     "Microsoft Windows 95 OSR 1", " W"},
    {"95 OSR2.0", {.major = 4, .minor = 0, .build = 0x04000457, .platform = k9x, .csdVersion = " B"},
     "Microsoft Windows 95 OSR 2.0", " B"},
    {"95 OSR2.1 1212", {.major = 4, .minor = 0, .build = 1212, .platform = k9x, .csdVersion = " B"},
     "Microsoft Windows 95 OSR 2.1", " B"},
    {"95 OSR2.1 1213", {.major = 4, .minor = 3, .build = 1213, .platform = k9x, .csdVersion = " B"},
     "Microsoft Windows 95 OSR 2.1", " B"},
    {"95 OSR2.5", {.major = 4, .minor = 3, .build = 0x040304BE, .platform = k9x, .csdVersion = " C"},
     "Microsoft Windows 95 OSR 2.5", " C"},
    {"95 1214 other letter", {.major = 4, .minor = 3, .build = 1214, .platform = k9x, .csdVersion = " B"},
     "Microsoft Windows 95 OSR 2.1", " B"},
    {"95 later build", {.major = 4, .minor = 0, .build = 1081, .platform = k9x, .csdVersion = " A"},
     "Microsoft Windows 95 OSR 2.x", " A"},
    {"95 letter in first place", {.major = 4, .minor = 0, .build = 950, .platform = k9x, .csdVersion = "A"},
     "Microsoft Windows 95", "A"},
    {"98", {.major = 4, .minor = 10, .build = 0x040A07CE, .platform = k9x, .csdVersion = " "},
     "Microsoft Windows 98", " "},
    {"98 SE by letter A", {.major = 4, .minor = 10, .build = 0x040A08AE, .platform = k9x, .csdVersion = " A "},
     "Microsoft Windows 98 SE", " A "},
    {"98 SE by letter B", {.major = 4, .minor = 10, .build = 0x040A08AE, .platform = k9x, .csdVersion = " B"},
     "Microsoft Windows 98 SE", " B"},
    {"98 SE by whole build", {.major = 4, .minor = 10, .build = 2222, .platform = k9x, .csdVersion = ""},
     "Microsoft Windows 98 SE", ""},
    {"98 low word 2222 only", {.major = 4, .minor = 10, .build = 0x040A08AE, .platform = k9x, .csdVersion = ""},
     "Microsoft Windows 98", ""},
    {"Me", {.major = 4, .minor = 90, .build = 0x045A0BB8, .platform = k9x, .csdVersion = " "},
     "Microsoft Windows Millennium", " "},
    {"9x other minor", {.major = 4, .minor = 20, .platform = k9x}, "Microsoft Windows Unknown 9x", ""},
    {"9x other major", {.major = 5, .minor = 0, .platform = k9x}, "Microsoft Windows Unknown 9x", ""},

    {"NT4 SP6a workstation",
     {.major = 4, .build = 1381, .platform = kNt, .csdVersion = "Service Pack 6", .extended = true,
      .productType = 1, .hotfixQ246009 = true},
     "Microsoft Windows NT Workstation", "Service Pack 6a"},
    {"NT4 SP6 without the hotfix",
     {.major = 4, .build = 1381, .platform = kNt, .csdVersion = "Service Pack 6", .extended = true,
      .productType = 1},
     "Microsoft Windows NT Workstation", "Service Pack 6"},
    {"NT4 enterprise server",
     {.major = 4, .platform = kNt, .csdVersion = "Service Pack 6", .extended = true, .suiteMask = 0x0002,
      .productType = 3, .hotfixQ246009 = true},
     "Microsoft Windows NT Server 4.0 Enterprise", "Service Pack 6a"},
    {"NT4 domain controller",
     {.major = 4, .platform = kNt, .extended = true, .productType = 2}, "Microsoft Windows NT Server 4.0", ""},
    {"NT4 SP5 basic, workstation",
     {.major = 4, .platform = kNt, .csdVersion = "Service Pack 5", .productOptionsType = "WinNT"},
     "Microsoft Windows NT Workstation", "Service Pack 5"},
    {"NT4 basic, server in lower case",
     {.major = 4, .platform = kNt, .productOptionsType = "lanmannt"}, "Microsoft Windows NT Server", ""},
    {"NT4 basic, advanced server",
     {.major = 4, .platform = kNt, .productOptionsType = "ServerNT"}, "Microsoft Windows NT Advanced Server", ""},
    {"NT4 basic, other product type",
     {.major = 4, .platform = kNt, .productOptionsType = "Terminal"}, "Microsoft Windows NT Unknown", ""},
    {"NT basic, product type unreadable", {.major = 3, .minor = 51, .platform = kNt}, "Microsoft Windows NT ", ""},
    {"NT basic, hotfix only counts on NT 4 with SP6 exactly",
     {.major = 4, .platform = kNt, .csdVersion = "Service Pack 6 ", .hotfixQ246009 = true},
     "Microsoft Windows NT ", "Service Pack 6 "},

    {"2000 Professional SP4",
     {.major = 5, .minor = 0, .build = 2195, .platform = kNt, .csdVersion = "Service Pack 4", .extended = true,
      .productType = 1},
     "Microsoft Windows 2000 Professional", "Service Pack 4"},
    {"2000 with SP6 text keeps it",
     {.major = 5, .minor = 0, .platform = kNt, .csdVersion = "Service Pack 6", .extended = true, .productType = 1,
      .hotfixQ246009 = true},
     "Microsoft Windows 2000 Professional", "Service Pack 6"},
    {"2000 Datacenter",
     {.major = 5, .minor = 0, .platform = kNt, .extended = true, .suiteMask = 0x0082, .productType = 3},
     "Microsoft Windows 2000 Datacenter Server", ""},
    {"2000 Advanced Server",
     {.major = 5, .minor = 0, .platform = kNt, .extended = true, .suiteMask = 0x0002, .productType = 2},
     "Microsoft Windows 2000 Advanced Server", ""},
    {"2000 Server",
     {.major = 5, .minor = 0, .platform = kNt, .extended = true, .suiteMask = 0x0010, .productType = 3},
     "Microsoft Windows 2000 Server", ""},
    {"XP Professional SP3",
     {.major = 5, .minor = 1, .build = 2600, .platform = kNt, .csdVersion = "Service Pack 3", .extended = true,
      .suiteMask = 0x0100, .productType = 1},
     "Microsoft Windows XP Professional", "Service Pack 3"},
    {"XP Home",
     {.major = 5, .minor = 1, .platform = kNt, .extended = true, .suiteMask = 0x0300, .productType = 1},
     "Microsoft Windows XP Home", ""},
    {"XP Embedded",
     {.major = 5, .minor = 1, .platform = kNt, .extended = true, .suiteMask = 0x0140, .productType = 1},
     "Microsoft Windows XP Embedded", ""},
    {"XP Starter before Media Center and Tablet",
     {.major = 5, .minor = 1, .platform = kNt, .extended = true, .suiteMask = 0x0200, .productType = 1,
      .tabletPc = true, .mediaCenter = true, .starter = true},
     "Microsoft Windows XP Starter", ""},
    {"XP Media Center before Tablet",
     {.major = 5, .minor = 1, .platform = kNt, .extended = true, .productType = 1, .tabletPc = true,
      .mediaCenter = true},
     "Microsoft Windows XP Media Center", ""},
    {"XP Tablet before Home",
     {.major = 5, .minor = 1, .platform = kNt, .extended = true, .suiteMask = 0x0200, .productType = 1,
      .tabletPc = true},
     "Microsoft Windows XP Tablet PC", ""},
    {"XP Professional x64",
     {.major = 5, .minor = 2, .build = 3790, .platform = kNt, .csdVersion = "Service Pack 2", .extended = true,
      .suiteMask = 0x0100, .productType = 1, .architecture = 9, .mediaCenter = true},
     "Microsoft Windows XP Professional x64", "Service Pack 2"},
    {"5.2 workstation on x86",
     {.major = 5, .minor = 2, .platform = kNt, .extended = true, .productType = 1},
     "Microsoft Windows Server 2003 Professional", ""},
    {"5.x unknown minor",
     {.major = 5, .minor = 5, .platform = kNt, .extended = true, .productType = 1},
     "Microsoft Windows Unknown version Professional", ""},
    {"5.1 server", {.major = 5, .minor = 1, .platform = kNt, .extended = true, .productType = 3},
     "Microsoft Windows XP Unknown Server", ""},
    {"5.1 domain controller", {.major = 5, .minor = 1, .platform = kNt, .extended = true, .productType = 2},
     "Microsoft Windows XP Unknown Domain controller", ""},
    {"product type 0", {.major = 5, .minor = 1, .platform = kNt, .extended = true, .productType = 0},
     "Microsoft Windows XP Unknown", ""},
    {"product type 4", {.major = 5, .minor = 0, .platform = kNt, .extended = true, .productType = 4},
     "Microsoft Windows 2000 Unknown", ""},

    {"Server 2003 R2 Enterprise",
     {.major = 5, .minor = 2, .platform = kNt, .csdVersion = "Service Pack 2", .extended = true,
      .suiteMask = 0x0112, .productType = 3, .serverR2 = true},
     "Microsoft Windows Server 2003 R2 Enterprise", "Service Pack 2"},
    {"Storage Server joins its edition",
     {.major = 5, .minor = 2, .platform = kNt, .extended = true, .suiteMask = 0x2000, .productType = 3},
     "Microsoft Windows Storage Server 2003Standard", ""},
    {"Compute Cluster before Datacenter",
     {.major = 5, .minor = 2, .platform = kNt, .extended = true, .suiteMask = 0x4082, .productType = 3},
     "Microsoft Windows Server 2003 Computer Cluster", ""},
    {"Datacenter before Enterprise",
     {.major = 5, .minor = 2, .platform = kNt, .extended = true, .suiteMask = 0x0082, .productType = 3},
     "Microsoft Windows Server 2003 Datacenter", ""},
    {"Web edition is the whole mask",
     {.major = 5, .minor = 2, .platform = kNt, .extended = true, .suiteMask = 0x0400, .productType = 3},
     "Microsoft Windows Server 2003 Web", ""},
    {"Web bit with others is Standard",
     {.major = 5, .minor = 2, .platform = kNt, .extended = true, .suiteMask = 0x0410, .productType = 3},
     "Microsoft Windows Server 2003 Standard", ""},
    {"Itanium Datacenter",
     {.major = 5, .minor = 2, .platform = kNt, .extended = true, .suiteMask = 0x0082, .productType = 3,
      .architecture = 6},
     "Microsoft Windows Server 2003 Datacenter for Itanium-based Systems", ""},
    {"Itanium Enterprise",
     {.major = 5, .minor = 2, .platform = kNt, .extended = true, .suiteMask = 0x0002, .productType = 2,
      .architecture = 6},
     "Microsoft Windows Server 2003 Enterprise for Itanium-based Systems", ""},
    {"Itanium Standard",
     {.major = 5, .minor = 2, .platform = kNt, .extended = true, .productType = 3, .architecture = 6},
     "Microsoft Windows Server 2003 Standard Itanium-based", ""},
    {"x64 Datacenter",
     {.major = 5, .minor = 2, .platform = kNt, .extended = true, .suiteMask = 0x0080, .productType = 3,
      .architecture = 9},
     "Microsoft Windows Server 2003 Datacenter x64", ""},
    {"x64 Enterprise",
     {.major = 5, .minor = 2, .platform = kNt, .extended = true, .suiteMask = 0x0002, .productType = 3,
      .architecture = 9},
     "Microsoft Windows Server 2003 Enterprise x64", ""},
    {"x64 Standard",
     {.major = 5, .minor = 2, .platform = kNt, .extended = true, .productType = 3, .architecture = 9},
     "Microsoft Windows Server 2003 Standard x64", ""},
    {"other architecture, hexadecimal",
     {.major = 5, .minor = 2, .platform = kNt, .extended = true, .productType = 3, .architecture = 12},
     "Microsoft Windows Server 2003 Unknown on Architecture 0xc", ""},
    {"unknown architecture",
     {.major = 5, .minor = 2, .platform = kNt, .extended = true, .productType = 2, .architecture = 0xFFFF},
     "Microsoft Windows Server 2003 Unknown on Architecture 0xffff", ""},

    {"Vista 32-bit",
     {.major = 6, .minor = 0, .platform = kNt, .csdVersion = "Service Pack 2", .extended = true, .productType = 1,
      .productName = "Windows Vista (TM) Ultimate"},
     "Windows Vista (TM) Ultimate 32-bit", "Service Pack 2"},
    {"7 64-bit",
     {.major = 6, .minor = 1, .build = 7601, .platform = kNt, .csdVersion = "Service Pack 1", .extended = true,
      .productType = 1, .architecture = 9, .productName = "Windows 7 Professional"},
     "Windows 7 Professional 64-bit", "Service Pack 1"},
    {"Server 2008 R2 without a product name",
     {.major = 6, .minor = 1, .platform = kNt, .extended = true, .productType = 3, .architecture = 9},
     "Microsoft Windows Server 2008 R2  64-bit", ""},
    {"Vista without a product name",
     {.major = 6, .minor = 0, .platform = kNt, .extended = true, .productType = 1},
     "Microsoft Windows Vista  32-bit", ""},
    {"Itanium adds no width",
     {.major = 6, .minor = 0, .platform = kNt, .extended = true, .productType = 3, .architecture = 6},
     "Microsoft Windows Server 2008 ", ""},
    {"10 reporting 6.2",
     {.major = 6, .minor = 2, .build = 9200, .platform = kNt, .extended = true, .productType = 1,
      .architecture = 9, .verOutput = kVer10, .productName = "Windows 10 Pro"},
     "Windows 10 Pro 64-bit", ""},
    {"10 reporting 6.2 on a 32-bit processor",
     {.major = 6, .minor = 2, .platform = kNt, .extended = true, .productType = 1, .verOutput = kVer10,
      .productName = "Windows 10 Pro"},
     "Windows 10 Pro 32-bit", ""},
    {"8 without a product name",
     {.major = 6, .minor = 2, .platform = kNt, .extended = true, .productType = 1, .architecture = 9,
      .verOutput = "\r\nMicrosoft Windows [Version 6.2.9200]\r\n"},
     "Microsoft Windows 8  64-bit", ""},
    {"8.1 server without a product name",
     {.major = 6, .minor = 3, .platform = kNt, .extended = true, .productType = 3, .architecture = 12},
     "Microsoft Windows Server 2012 R2 ", ""},
    {"6.4 without a product name",
     {.major = 6, .minor = 4, .platform = kNt, .extended = true, .productType = 1, .architecture = 9},
     "Microsoft Windows  64-bit", ""},
    {"6.x basic takes the product options",
     {.major = 6, .minor = 1, .platform = kNt, .productType = 1, .architecture = 9, .productName = "Ignored",
      .productOptionsType = "WinNT"},
     "Microsoft Windows 7 Workstation", ""},
    {"10.0 workstation", {.major = 10, .minor = 0, .platform = kNt, .extended = true, .productType = 1},
     "Microsoft Windows 10 Unknown Workstation", ""},
    {"10.0 server", {.major = 10, .minor = 0, .platform = kNt, .extended = true, .productType = 3},
     "Microsoft Windows Server 2016 Unknown Server", ""},
    {"10.x", {.major = 10, .minor = 1, .platform = kNt, .extended = true, .productType = 1},
     "Microsoft Windows Unknown Workstation", ""},
    {"unknown major through ver",
     {.major = 7, .minor = 0, .platform = kNt, .extended = true, .productType = 1,
      .verOutput = "\r\nMicrosoft Windows [Version 7.5.100]\r\n"},
     "Microsoft Windows 7 Unknown Workstation", ""},
    {"unknown major, server, empty capture",
     {.major = 2, .minor = 0, .platform = kNt, .extended = true, .productType = 3, .verOutput = "\r\n"},
     "Microsoft Windows Server  Unknown Server", ""},
};

TEST(IdentifyWindowsFromFacts, NamesEverySystemOfTheTables) {
  for (const IdentityRow& row : kIdentities) {
    SCOPED_TRACE(row.system);
    std::string name = "stale", servicePack = "stale";
    ASSERT_TRUE(IdentifyWindowsFromFacts(row.facts, name, servicePack));
    EXPECT_EQ(name, row.name);
    EXPECT_EQ(servicePack, row.servicePack);
  }
}

TEST(IdentifyWindowsFromFacts, RefusesOtherPlatformsWithEmptyOutputs) {
  for (uint32_t platform : {0u, 3u, 4u}) {
    SCOPED_TRACE(platform);
    WindowsFacts facts{.major = 5, .minor = 1, .platform = platform, .csdVersion = "Service Pack 3",
                       .extended = true, .productType = 1};
    std::string name = "stale", servicePack = "stale";
    EXPECT_FALSE(IdentifyWindowsFromFacts(facts, name, servicePack));
    EXPECT_EQ(name, "");
    EXPECT_EQ(servicePack, "");
  }
}

struct VerRow {
  const char* output;
  const char* workstation;
  const char* server;
};

TEST(PieceFromVerOutput, TestsTheVersionsInOrderThenFallsBack) {
  const VerRow rows[] = {
      {"\r\nMicrosoft Windows [Version 6.2.9200]\r\n", "8 ", "Server 2012 "},
      {"\r\nMicrosoft Windows [Version 6.3.9600]\r\n", "8.1 ", "Server 2012 R2 "},
      {kVer10, "10 ", "Server 10 "},
      {"Windows 10.0 6.3 6.2", "8 ", "Server 2012 "},  // " 6.2" is tested first
      {"Windows 10.0 6.3", "8.1 ", "Server 2012 R2 "},
      {"\r\nMicrosoft Windows [Version 11.0.22000]\r\n", "11 ", "Server 11 "},
      {"\r\n", " ", "Server  "},
  };
  for (const VerRow& row : rows) {
    SCOPED_TRACE(row.output);
    EXPECT_EQ(PieceFromVerOutput(row.output, true), row.workstation);
    EXPECT_EQ(PieceFromVerOutput(row.output, false), row.server);
  }
}

TEST(FallbackPieceFromVerOutput, CutsFromIonPlusFourToTheFirstDot) {
  const VerRow rows[] = {
      {"\r\nMicrosoft Windows [Version 12.1.300]\r\n", "12 ", "Server 12 "},
      // Without "ion" the part starts at the fourth character.
      {"Microsoft Windows 12.0", "rosoft Windows 12 ", "Server rosoft Windows 12 "},
      {"ABCD.", "D ", "Server D "},
      // No dot, or a dot before the start: a negative length gives an empty part.
      {"Version 12", " ", "Server  "},
      {"1.0 Version 12", " ", "Server  "},
      {"xion.", " ", "Server  "},
      // A dot right at the start position gives nothing; one character further gives one.
      {"Version .", " ", "Server  "},
      {"Version 7.", "7 ", "Server 7 "},
      {"", " ", "Server  "},
  };
  for (const VerRow& row : rows) {
    SCOPED_TRACE(row.output);
    EXPECT_EQ(FallbackPieceFromVerOutput(row.output, true), row.workstation);
    EXPECT_EQ(FallbackPieceFromVerOutput(row.output, false), row.server);
  }
}

TEST(FactsNeededFor, AsksOnlyForWhatTheDecisionReads) {
  struct Row {
    const char* system;
    WindowsFacts facts;
    bool ver, productName, productOptions, hotfix;
  };
  const Row rows[] = {
      {"9x", {.major = 4, .minor = 10, .platform = k9x, .csdVersion = "Service Pack 6"}, false, false, false, false},
      {"NT4 SP6 basic", {.major = 4, .platform = kNt, .csdVersion = "Service Pack 6"}, false, false, true, true},
      {"NT4 SP5", {.major = 4, .platform = kNt, .csdVersion = "Service Pack 5", .extended = true},
       false, false, false, false},
      {"XP", {.major = 5, .minor = 1, .platform = kNt, .extended = true}, false, false, false, false},
      {"7", {.major = 6, .minor = 1, .platform = kNt, .extended = true}, false, true, false, false},
      {"6.2", {.major = 6, .minor = 2, .platform = kNt, .extended = true}, true, true, false, false},
      {"6.2 basic", {.major = 6, .minor = 2, .platform = kNt}, true, false, true, false},
      {"10.0", {.major = 10, .platform = kNt, .extended = true}, false, false, false, false},
      {"major 7", {.major = 7, .platform = kNt, .extended = true}, true, false, false, false},
      {"major 0", {.major = 0, .platform = kNt, .extended = true}, true, false, false, false},
      {"other platform", {.major = 6, .minor = 2, .platform = 3, .extended = true}, false, false, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.system);
    const NeededFacts needed = FactsNeededFor(row.facts);
    EXPECT_EQ(needed.verOutput, row.ver);
    EXPECT_EQ(needed.productName, row.productName);
    EXPECT_EQ(needed.productOptionsType, row.productOptions);
    EXPECT_EQ(needed.hotfixQ246009, row.hotfix);
  }
}

TEST(ComposeDescription, AddsTheServicePackUnlessItIsBlank) {
  EXPECT_EQ(ComposeDescription("Microsoft Windows 2000 Professional", "Service Pack 4"),
            "Microsoft Windows 2000 Professional Service Pack 4");
  EXPECT_EQ(ComposeDescription("Windows 10 Pro 64-bit", ""), "Windows 10 Pro 64-bit");
  EXPECT_EQ(ComposeDescription("Microsoft Windows 98", " \t\r\n"), "Microsoft Windows 98");
  // Only the test trims; the text keeps the service pack as it was.
  EXPECT_EQ(ComposeDescription("Microsoft Windows 98 SE", " A "), "Microsoft Windows 98 SE  A ");
  // Cyrillic bytes are letters, not control characters.
  EXPECT_EQ(ComposeDescription("Windows", "\xC0"), "Windows \xC0");
}

TEST(DescribesSixtyFourBitWindows, LooksForABlankThenSixtyFour) {
  EXPECT_TRUE(DescribesSixtyFourBitWindows("Windows 10 Pro 64-bit"));
  EXPECT_TRUE(DescribesSixtyFourBitWindows("Microsoft Windows Server 2008 R2  64-bit Service Pack 1"));
  EXPECT_FALSE(DescribesSixtyFourBitWindows("Windows 10 Pro 32-bit"));
  EXPECT_FALSE(DescribesSixtyFourBitWindows("Microsoft Windows XP Professional x64 Service Pack 2"));
  EXPECT_FALSE(DescribesSixtyFourBitWindows("Microsoft Windows Server 2003 Datacenter x64"));
  EXPECT_FALSE(DescribesSixtyFourBitWindows("unknown"));
}

}  // namespace
}  // namespace velmora
