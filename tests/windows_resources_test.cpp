// Reads the resources of the Windows programs back through the API the system uses: the version
// of dsf2vemo-cli.exe, and the icon, manifest and version that dsf2vemo_resources puts into the
// executable linking it (this test, as it will the window program).
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "case_name.h"
#include "resource.h"

namespace dsf2vemo {
namespace {

std::filesystem::path OwnPath() {
    std::wstring buffer(32768, L'\0');
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(length);
    return buffer;
}

// A string of the version resource's U.S. English, Unicode block; empty when it is missing.
std::wstring VersionString(const std::filesystem::path& file, const std::wstring& name) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) {
        return {};
    }
    std::vector<std::byte> data(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) {
        return {};
    }
    void* value = nullptr;
    UINT length = 0;
    const std::wstring key = L"\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueW(data.data(), key.c_str(), &value, &length) || length == 0) {
        return {};
    }
    return std::wstring(static_cast<const wchar_t*>(value), length - 1);
}

struct VersionCase {
    std::string name;
    std::filesystem::path file;
    std::wstring description;
    std::wstring original_filename;
};

class VersionResourceTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionResourceTest, NamesTheProgramAndVersion) {
    const VersionCase& c = GetParam();
    EXPECT_EQ(VersionString(c.file, L"FileDescription"), c.description);
    EXPECT_EQ(VersionString(c.file, L"OriginalFilename"), c.original_filename);
    EXPECT_EQ(VersionString(c.file, L"ProductName"), L"dsf2vemo");
    EXPECT_EQ(VersionString(c.file, L"FileVersion"), L"1.00");
    EXPECT_EQ(VersionString(c.file, L"ProductVersion"), L"1.00");
}

INSTANTIATE_TEST_SUITE_P(
    Programs, VersionResourceTest,
    ::testing::Values(VersionCase{"CommandLine", DSF2VEMO_CLI_EXE,
                                  L"dsf2vemo command-line converter", L"dsf2vemo-cli.exe"},
                      VersionCase{"WindowResources", OwnPath(), L"Convert from Prelis to Vemo",
                                  L"dsf2vemo.exe"}),
    testing::CaseName{});

HICON LoadIconOfSize(int id, int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

TEST(WindowResourcesTest, IconsHaveBothSizes) {
    for (const int id : {IDI_APP, IDI_ABOUT}) {
        for (const int size : {32, 16}) {
            HICON icon = LoadIconOfSize(id, size);
            ASSERT_NE(icon, nullptr) << id << " " << size;
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP bitmap{};
            GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
            EXPECT_EQ(bitmap.bmWidth, size) << id;
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(icon);
        }
    }
}

// The colour at (x, y) of the icon drawn on a white background.
COLORREF IconPixel(int id, int size, int x, int y) {
    const HICON icon = LoadIconOfSize(id, size);
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT all{0, 0, size, size};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    const COLORREF pixel = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    DestroyIcon(icon);
    return pixel;
}

// The about box's path diagram: a yellow ellipse over black lines to yellow boxes, with
// yellow circles under them, on a transparent ground.
TEST(WindowResourcesTest, AboutIconIsTheYellowPathDiagram) {
    constexpr COLORREF kYellow = RGB(255, 255, 0);
    constexpr COLORREF kBlack = RGB(0, 0, 0);
    constexpr COLORREF kGround = RGB(255, 255, 255);
    struct Pixel {
        int size, x, y;
        COLORREF color;
    };
    for (const Pixel& p :
         {Pixel{32, 15, 4, kYellow}, Pixel{32, 15, 12, kBlack}, Pixel{32, 4, 18, kYellow},
          Pixel{32, 26, 26, kYellow}, Pixel{32, 0, 0, kGround}, Pixel{16, 7, 2, kYellow},
          Pixel{16, 13, 14, kYellow}, Pixel{16, 0, 0, kGround}}) {
        EXPECT_EQ(IconPixel(IDI_ABOUT, p.size, p.x, p.y), p.color)
            << p.size << "x" << p.size << " at " << p.x << "," << p.y;
    }
}

TEST(WindowResourcesTest, ManifestAsksForVisualStylesAndPerMonitorDpi) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    const std::string manifest(bytes, SizeofResource(module, found));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2, PerMonitor"), std::string::npos);
    EXPECT_NE(manifest.find("<longPathAware"), std::string::npos);
    EXPECT_EQ(manifest.find("<activeCodePage"), std::string::npos);
}

}  // namespace
}  // namespace dsf2vemo
