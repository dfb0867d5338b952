// The program's resources, read back with the platform's own resource and
// version calls from a program that links them as Skalaro.exe does: the icon
// group, the version record and the manifest, which must also be in effect
// (the common controls of version 6 are the ones loaded).
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/strings.h"

namespace {

#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bit_count;
  DWORD bytes;
  WORD id;
};
struct IconGroup {
  WORD reserved, type, count;
  IconGroupEntry entries[1];
};
#pragma pack(pop)

const void* resource(LPCSTR name, LPCSTR type, DWORD* size) {
  HRSRC found = FindResourceA(nullptr, name, type);
  if (!found) return nullptr;
  *size = SizeofResource(nullptr, found);
  return LockResource(LoadResource(nullptr, found));
}

TEST(ProgramResources, one_icon_group_of_five_32_bit_images) {
  DWORD size = 0;
  const auto* group =
      static_cast<const IconGroup*>(resource(MAKEINTRESOURCEA(1), RT_GROUP_ICON, &size));
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group->count, 5);
  const int expected[] = {128, 48, 32, 24, 16};
  for (int i = 0; i < 5; ++i) {
    const IconGroupEntry& entry = group->entries[i];
    EXPECT_EQ(entry.width, expected[i]);
    EXPECT_EQ(entry.bit_count, 32);
    DWORD image_size = 0;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(
        resource(MAKEINTRESOURCEA(entry.id), RT_ICON, &image_size));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, expected[i]);
    EXPECT_EQ(header->biBitCount, 32);
    // The platform makes an icon of every size from it.
    HICON icon =
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON,
                                      expected[i], expected[i], LR_DEFAULTCOLOR));
    EXPECT_NE(icon, nullptr);
    DestroyIcon(icon);
  }
  // No other icon group comes before it.
  EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(2), RT_GROUP_ICON), nullptr);
}

TEST(ProgramResources, version_record_3_0_0_22) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  DWORD ignored = 0;
  std::vector<char> block(GetFileVersionInfoSizeA(path, &ignored));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00030000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000016u);
  auto text = [&](const char* key) {
    char* value = nullptr;
    UINT chars = 0;
    std::string query = std::string("\\StringFileInfo\\040704B0\\") + key;
    if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &chars))
      return std::string("(none)");
    return std::string(value);
  };
  EXPECT_EQ(text("ProductVersion"), "V3.0 Built 22");
  EXPECT_EQ(text("ProductName"), "Skalaro");
  EXPECT_EQ(text("FileVersion"), "3.0.0.22");
}

TEST(ProgramResources, manifest_asks_for_common_controls_6_and_gets_them) {
  DWORD size = 0;
  const char* manifest =
      static_cast<const char*>(resource(MAKEINTRESOURCEA(1), RT_MANIFEST, &size));
  ASSERT_NE(manifest, nullptr);
  const std::string text(manifest, size);
  EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos);
  // Aware of each screen's DPI and of long paths, made for Windows 10 and 11.
  for (const char* declared :
       {">PerMonitorV2, PerMonitor</dpiAwareness>", ">true/pm</dpiAware>", ">true</longPathAware>",
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"})
    EXPECT_NE(text.find(declared), std::string::npos) << declared;

  // In effect: the common controls come from the side-by-side assembly of
  // version 6. (Wine's copy of it answers DllGetVersion with 5.81, so the
  // module's origin is what is checked.)
  InitCommonControls();
  HMODULE controls = GetModuleHandleA("comctl32.dll");
  ASSERT_NE(controls, nullptr);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(controls, path, MAX_PATH);
  const std::string origin = string_lower(path);
  EXPECT_NE(origin.find("\\winsxs\\"), std::string::npos) << path;
  EXPECT_NE(origin.find("microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
            std::string::npos)
      << path;
}

}  // namespace
