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

TEST(WindowResourcesTest, IconHasBothSizes) {
    for (const int size : {32, 16}) {
        HICON icon =
            static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP),
                                          IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap{};
        GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
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
