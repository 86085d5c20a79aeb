// The version block, icon and manifest of zeb2000.rc, read back from this executable, which
// carries them.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<char> ownVersionInfo()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(path, &ignored));
    if (block.empty() ||
        !GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data()))
        block.clear();
    return block;
}

std::string text(std::vector<char>& block, const std::string& name)
{
    void* value = nullptr;
    UINT length = 0;
    const std::string query = "\\StringFileInfo\\040904b0\\" + name;
    if (!VerQueryValueA(block.data(), query.c_str(), &value, &length) || length == 0)
        return "<missing>";
    return static_cast<const char*>(value);
}

} // namespace

TEST(VersionResource, CarriesTheProductsStrings)
{
    std::vector<char> block = ownVersionInfo();
    ASSERT_FALSE(block.empty());
    EXPECT_EQ(text(block, "FileVersion"), "2.0.0.2518");
    EXPECT_EQ(text(block, "ProductVersion"), "2.0.0.2518");
    EXPECT_EQ(text(block, "ProductName"), "ZEB 2000");
    EXPECT_EQ(text(block, "FileDescription"), "ZEB 2000 Main Executable");
    EXPECT_EQ(text(block, "InternalName"), "zeb2000");
    EXPECT_EQ(text(block, "OriginalFilename"), "zeb2000.exe");
    EXPECT_EQ(text(block, "Comments"), "ZEB 2000 - The Definitive ICQ Backup Solution !");
}

TEST(VersionResource, CarriesTheNumericVersion)
{
    std::vector<char> block = ownVersionInfo();
    ASSERT_FALSE(block.empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, (2u << 16) | 0u);
    EXPECT_EQ(fixed->dwFileVersionLS, (0u << 16) | 2518u);
    EXPECT_EQ(fixed->dwProductVersionMS, (2u << 16) | 0u);
    EXPECT_EQ(fixed->dwProductVersionLS, (0u << 16) | 2518u);
}

TEST(IconResource, IsTheProgramsIcon)
{
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), "IDI_ICON1");
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap{};
    GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_GT(bitmap.bmWidth, 0);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

// The manifest takes effect (the loader activates common controls 6 for this process) and asks
// for per-monitor DPI awareness on Windows 10 and 11, which Wine does not tell apart.
TEST(ManifestResource, TakesEffectWithCommonControls6)
{
    HMODULE commonControls = LoadLibraryA("comctl32.dll");
    ASSERT_NE(commonControls, nullptr);
    // The version 6 DLL is the side-by-side assembly's, whatever version it reports (Wine's: 5).
    char loaded[MAX_PATH];
    GetModuleFileNameA(commonControls, loaded, MAX_PATH);
    std::string path(loaded);
    std::transform(path.begin(), path.end(), path.begin(), ::tolower);
    EXPECT_NE(path.find("microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
              std::string::npos)
        << loaded;

    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(self, found))),
                               SizeofResource(self, found));
    for (const char* setting : {"<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",
                                "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                                "WindowsSettings\">PerMonitorV2"})
        EXPECT_NE(manifest.find(setting), std::string::npos) << setting;
}
