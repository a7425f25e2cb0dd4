// The installer, run as a user would run it: msiexec installs it quietly, everything it should make
// is in place with the right contents, the installed program started through its "Open with"
// command reads the file into its window, a later version replaces it, and msiexec removes
// everything again.
//   dsf2vemo_msi_tests INSTALLER.msi LATER.msi STAGE_FOLDER EXPECTED_PANE.txt
// LATER.msi is the same installer with a later version; STAGE_FOLDER holds the files both were
// built from. Run in a Wine prefix of its own.
#include <windows.h>

#include <gtest/gtest.h>
#include <knownfolders.h>
#include <msi.h>
#include <objbase.h>
#include <shlobj.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "control_ids.h"

namespace dsf2vemo {
namespace {

namespace fs = std::filesystem;

fs::path g_msi;
fs::path g_later_msi;
fs::path g_stage;
fs::path g_expected_pane;

// The installer's upgrade code: fixed for good, so a later version finds this one.
constexpr wchar_t kUpgradeCode[] = L"{4F6C2E1B-9D3A-4B57-8E0C-2A7D51F3C968}";
constexpr wchar_t kWindowCaption[] = L"Convert from Prelis to Vemo";

std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                        nullptr, nullptr);
    return result;
}

std::optional<std::string> FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in || fs::is_directory(file)) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A file as its size and FNV-1a hash: enough to tell two files apart, short in a failure message.
std::optional<std::string> FileDigest(const fs::path& file) {
    const std::optional<std::string> bytes = FileBytes(file);
    if (!bytes) {
        return std::nullopt;
    }
    std::uint64_t hash = 14695981039346656037ull;
    for (const char byte : *bytes) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
    }
    return std::to_string(bytes->size()) + " bytes, hash " + std::to_string(hash);
}

std::optional<std::string> RegistryString(HKEY root, const std::wstring& key,
                                          const std::wstring& name) {
    const wchar_t* value_name = name.empty() ? nullptr : name.c_str();
    DWORD size = 0;
    if (RegGetValueW(root, key.c_str(), value_name, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(root, key.c_str(), value_name, RRF_RT_REG_SZ, nullptr, value.data(), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.resize(size / sizeof(wchar_t) - 1);
    return Utf8(value);
}

std::optional<std::string> RegistryKey(HKEY root, const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    RegCloseKey(handle);
    return "a key";
}

// Per-user installs list themselves under HKCU on Windows; Wine puts every entry under HKLM.
std::optional<std::string> UninstallEntry(const std::wstring& product, const std::wstring& name) {
    const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product;
    std::optional<std::string> value = RegistryString(HKEY_CURRENT_USER, key, name);
    return value ? value : RegistryString(HKEY_LOCAL_MACHINE, key, name);
}

fs::path KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    if (FAILED(SHGetKnownFolderPath(id, 0, nullptr, &path))) {
        CoTaskMemFree(path);
        throw std::runtime_error("a known folder could not be found");
    }
    fs::path result(path);
    CoTaskMemFree(path);
    return result;
}

std::optional<std::string> ShortcutTarget(const fs::path& link) {
    if (!fs::exists(link)) {
        return std::nullopt;
    }
    IShellLinkW* shell_link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&shell_link)))) {
        return "no shell link object";
    }
    std::wstring target(MAX_PATH, L'\0');
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shell_link->QueryInterface(IID_PPV_ARGS(&file)))) {
        if (SUCCEEDED(file->Load(link.c_str(), STGM_READ))) {
            shell_link->GetPath(target.data(), MAX_PATH, nullptr, SLGP_RAWPATH);
        }
        file->Release();
    }
    shell_link->Release();
    target.resize(target.find(L'\0'));
    return Utf8(target);
}

// msiexec as an administrator would run it for deployment; its exit code.
DWORD RunProgram(std::wstring command_line) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return GetLastError();
    }
    WaitForSingleObject(process.hProcess, 120'000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10'000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 10'000, &copied);
    text.resize(copied);
    return text;
}

std::string Lines(std::string text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            result += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            result += text[i];
        }
    }
    return result;
}

struct WindowSearch {
    DWORD process;
    HWND found;
};

// The main window of the given process, once it is visible; null after ten seconds without.
HWND MainWindowOf(DWORD process) {
    WindowSearch search{process, nullptr};
    for (int attempt = 0; attempt < 200 && search.found == nullptr; ++attempt) {
        EnumWindows(
            [](HWND window, LPARAM parameter) -> BOOL {
                auto* s = reinterpret_cast<WindowSearch*>(parameter);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t caption[64] = {};
                GetWindowTextW(window, caption, 64);
                if (owner == s->process && IsWindowVisible(window) &&
                    std::wstring(caption) == kWindowCaption) {
                    s->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return search.found;
}

// The installed products that carry the installer's upgrade code.
std::vector<std::wstring> RelatedProducts() {
    std::vector<std::wstring> products;
    for (DWORD index = 0;; ++index) {
        std::wstring product(39, L'\0');
        if (MsiEnumRelatedProductsW(kUpgradeCode, 0, index, product.data()) != ERROR_SUCCESS) {
            return products;
        }
        product.resize(38);
        products.push_back(product);
    }
}

// What must exist after the install, with what it must hold, and be gone after the uninstall.
struct Installed {
    std::string what;
    std::function<std::optional<std::string>()> read;
    std::optional<std::string> expected;  // none: must never exist (what the installer leaves be)
};

std::vector<Installed> WhatTheInstallerMakes(const std::wstring& product) {
    const fs::path folder = KnownFolder(FOLDERID_LocalAppData) / L"Programs" / L"dsf2vemo";
    const fs::path shortcut = KnownFolder(FOLDERID_Programs) / L"dsf2vemo.lnk";
    const std::string open_command =
        "\"" + Utf8((folder / L"dsf2vemo.exe").wstring()) + "\" \"%1\"";
    const HKEY user = HKEY_CURRENT_USER;
    const std::wstring classes = L"Software\\Classes\\";
    const std::wstring application = classes + L"Applications\\dsf2vemo.exe";
    std::wstring icon(MAX_PATH, L'\0');
    DWORD icon_size = MAX_PATH;
    if (MsiGetProductInfoW(product.c_str(), INSTALLPROPERTY_PRODUCTICON, icon.data(), &icon_size) !=
        ERROR_SUCCESS) {
        icon_size = 0;
    }
    icon.resize(icon_size);
    std::vector<Installed> items;
    for (const wchar_t* name : {L"dsf2vemo.exe", L"dsf2vemo-cli.exe", L"README.md", L"demo.dsf"}) {
        items.push_back(
            {Utf8(name), [=] { return FileDigest(folder / name); }, FileDigest(g_stage / name)});
    }
    items.insert(
        items.end(),
        {
            {"the program folder",
             [=]() -> std::optional<std::string> {
                 if (!fs::is_directory(folder)) {
                     return std::nullopt;
                 }
                 return "a folder";
             },
             "a folder"},
            {"the Start-menu shortcut", [=] { return ShortcutTarget(shortcut); },
             Utf8((folder / L"dsf2vemo.exe").wstring())},
            {"the application's open command",
             [=] { return RegistryString(user, application + L"\\shell\\open\\command", L""); },
             open_command},
            {"the application's name",
             [=] { return RegistryString(user, application, L"FriendlyAppName"); }, "dsf2vemo"},
            {"the application's supported type",
             [=] { return RegistryString(user, application + L"\\SupportedTypes", L".dsf"); }, ""},
            {"the application's key", [=] { return RegistryKey(user, application); }, "a key"},
            {"the file type's name",
             [=] { return RegistryString(user, classes + L"dsf2vemo.dsf", L""); },
             "PRELIS data system file"},
            {"the file type's open command",
             [=] {
                 return RegistryString(user, classes + L"dsf2vemo.dsf\\shell\\open\\command", L"");
             },
             open_command},
            {"the file type's key", [=] { return RegistryKey(user, classes + L"dsf2vemo.dsf"); },
             "a key"},
            {"the entry in Open with",
             [=] {
                 return RegistryString(user, classes + L".dsf\\OpenWithProgids", L"dsf2vemo.dsf");
             },
             ""},
            {"the default program of .dsf (left alone)",
             [=] { return RegistryString(user, classes + L".dsf", L""); }, std::nullopt},
            {"the products found by the upgrade code",
             []() -> std::optional<std::string> {
                 const std::vector<std::wstring> products = RelatedProducts();
                 if (products.empty()) {
                     return std::nullopt;
                 }
                 std::string list;
                 for (const std::wstring& related : products) {
                     list += Utf8(related) + " ";
                 }
                 return list;
             },
             Utf8(product) + " "},
            {"the uninstall entry's name", [=] { return UninstallEntry(product, L"DisplayName"); },
             "dsf2vemo"},
            {"the uninstall entry's version",
             [=] { return UninstallEntry(product, L"DisplayVersion"); }, "1.00"},
            {"the uninstall entry's publisher",
             [=] { return UninstallEntry(product, L"Publisher"); }, "The dsf2vemo authors"},
            {"the uninstall entry's icon", [=] { return FileDigest(icon); },
             FileDigest(g_stage / L"dsf2vemo.ico")},
        });
    return items;
}

// Opens `file` as the shell does for "Open with": the registered command with the file for %1.
// Checks that the window reads it, then closes the window.
void OpenWithInstalledProgram(const fs::path& file) {
    const std::wstring key = L"Software\\Classes\\Applications\\dsf2vemo.exe\\shell\\open\\command";
    std::wstring command(MAX_PATH * 2, L'\0');
    DWORD size = static_cast<DWORD>(command.size() * sizeof(wchar_t));
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                           command.data(), &size),
              ERROR_SUCCESS);
    command.resize(size / sizeof(wchar_t) - 1);
    const std::size_t placeholder = command.find(L"%1");
    ASSERT_NE(placeholder, std::wstring::npos) << Utf8(command);
    command.replace(placeholder, 2, file.wstring());

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process))
        << Utf8(command);
    const HWND window = MainWindowOf(process.dwProcessId);
    EXPECT_NE(window, nullptr) << "no window of " << Utf8(command);
    if (window != nullptr) {
        fs::path output = file;
        output.replace_extension(L".txt");
        EXPECT_EQ(Utf8(WindowText(GetDlgItem(window, gui::IDC_LabelInput))), Utf8(file.wstring()));
        EXPECT_EQ(Utf8(WindowText(GetDlgItem(window, gui::IDC_LabelOutput))),
                  Utf8(output.wstring()));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, gui::IDC_cmdConvert)));
        EXPECT_EQ(Lines(Utf8(WindowText(GetDlgItem(window, gui::IDC_RichTextBox1)))),
                  Lines(FileBytes(g_expected_pane).value_or("(no expected pane)")));
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20'000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    if (code == STILL_ACTIVE) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

TEST(MsiInstall, InstallsOpensUpgradesAndUninstallsClean) {
    ASSERT_EQ(RunProgram(L"msiexec /i \"" + g_msi.wstring() + L"\" /qn"), 0u);
    const std::vector<std::wstring> installed = RelatedProducts();
    ASSERT_EQ(installed.size(), 1u) << "products with the upgrade code after the install";
    const std::wstring product = installed.front();
    const std::vector<Installed> items = WhatTheInstallerMakes(product);
    for (const Installed& item : items) {
        EXPECT_EQ(item.read(), item.expected) << "after the install: " << item.what;
    }

    // In a folder of its own with a space in its name, as a user's file would be.
    const fs::path folder = fs::temp_directory_path() / L"opened with";
    fs::create_directories(folder);
    fs::copy_file(g_stage / L"demo.dsf", folder / L"study.dsf",
                  fs::copy_options::overwrite_existing);
    OpenWithInstalledProgram(folder / L"study.dsf");

    // A later version takes this one's place instead of sitting beside it.
    ASSERT_EQ(RunProgram(L"msiexec /i \"" + g_later_msi.wstring() + L"\" /qn"), 0u);
    const std::vector<std::wstring> upgraded = RelatedProducts();
    ASSERT_EQ(upgraded.size(), 1u) << "products with the upgrade code after the upgrade";
    EXPECT_NE(upgraded.front(), product);
    EXPECT_EQ(UninstallEntry(product, L"DisplayName"), std::nullopt);
    EXPECT_NE(items.front().read(), std::nullopt) << "the program after the upgrade";

    ASSERT_EQ(RunProgram(L"msiexec /x \"" + g_later_msi.wstring() + L"\" /qn"), 0u);
    EXPECT_EQ(UninstallEntry(upgraded.front(), L"DisplayName"), std::nullopt);
    for (const Installed& item : items) {
        EXPECT_EQ(item.read(), std::nullopt) << "after the uninstall: " << item.what;
    }
}

}  // namespace
}  // namespace dsf2vemo

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 5) {
        std::fprintf(stderr,
                     "usage: dsf2vemo_msi_tests INSTALLER.msi LATER.msi STAGE_FOLDER PANE.txt\n");
        return 2;
    }
    dsf2vemo::g_msi = argv[1];
    dsf2vemo::g_later_msi = argv[2];
    dsf2vemo::g_stage = argv[3];
    dsf2vemo::g_expected_pane = argv[4];
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
