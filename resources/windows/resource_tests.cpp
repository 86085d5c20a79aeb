// The version block and icon of zeb2000.rc, read back from this executable, which carries them.
#include <gtest/gtest.h>

#include <windows.h>

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
