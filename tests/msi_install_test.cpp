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
#include <wrl/client.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control_ids.h"

namespace dsf2vemo {
namespace {

namespace fs = std::filesystem;
using Text = std::optional<std::wstring>;

fs::path g_msi;
fs::path g_later_msi;
fs::path g_stage;
fs::path g_expected_pane;

// Fixed for good: it is how a later version finds this one.
constexpr wchar_t kUpgradeCode[] = L"{4F6C2E1B-9D3A-4B57-8E0C-2A7D51F3C968}";

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;
struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};

// A file as its size and FNV-1a hash: enough to tell two files apart, short in a failure message.
Text FileDigest(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in || fs::is_directory(file)) {
        return std::nullopt;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    std::uint64_t hash = 14695981039346656037ull;
    for (const char byte : bytes) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
    }
    return std::to_wstring(bytes.size()) + L" bytes, hash " + std::to_wstring(hash);
}

Text RegistryString(HKEY root, const std::wstring& key, const wchar_t* name) {
    std::wstring value(1024, L'\0');
    DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value.data(), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.resize(size / sizeof(wchar_t) - 1);
    return value;
}

Text RegistryKey(HKEY root, const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const std::unique_ptr<HKEY__, KeyCloser> owned(handle);
    return L"a key";
}

// Per-user installs list themselves under HKCU on Windows; Wine puts every entry under HKLM.
Text UninstallEntry(const std::wstring& product, const wchar_t* name) {
    const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product;
    const Text value = RegistryString(HKEY_CURRENT_USER, key, name);
    return value ? value : RegistryString(HKEY_LOCAL_MACHINE, key, name);
}

fs::path KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, 0, nullptr, &path);
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owned(path, &CoTaskMemFree);
    return SUCCEEDED(result) ? fs::path(path) : fs::path();
}

Text ShortcutTarget(const fs::path& link) {
    if (!fs::exists(link)) {
        return std::nullopt;
    }
    Microsoft::WRL::ComPtr<IShellLinkW> shell_link;
    Microsoft::WRL::ComPtr<IPersistFile> file;
    std::wstring target(MAX_PATH, L'\0');
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&shell_link))) ||
        FAILED(shell_link.As(&file)) || FAILED(file->Load(link.c_str(), STGM_READ)) ||
        FAILED(shell_link->GetPath(target.data(), MAX_PATH, nullptr, SLGP_RAWPATH))) {
        return L"a shortcut that can't be read";
    }
    target.resize(target.find(L'\0'));
    return target;
}

// The installed products that carry the installer's upgrade code.
std::vector<std::wstring> RelatedProducts() {
    std::vector<std::wstring> products;
    std::wstring product(39, L'\0');
    while (MsiEnumRelatedProductsW(kUpgradeCode, 0, static_cast<DWORD>(products.size()),
                                   product.data()) == ERROR_SUCCESS) {
        products.push_back(product.substr(0, 38));
    }
    return products;
}

UniqueHandle Start(std::wstring command_line) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    return UniqueHandle(process.hProcess);
}

// msiexec as an administrator runs it for deployment; its exit code.
DWORD Msiexec(const wchar_t* action, const fs::path& package) {
    const UniqueHandle process =
        Start(L"msiexec " + std::wstring(action) + L" \"" + package.wstring() + L"\" /qn");
    DWORD code = ERROR_INVALID_HANDLE;
    if (process && WaitForSingleObject(process.get(), 120'000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.get(), &code);
    }
    return code;
}

std::wstring ControlText(HWND window, int id) {
    // Another process's control: WM_GETTEXT, which the system carries across.
    std::wstring text(4096, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(GetDlgItem(window, id), WM_GETTEXT, text.size(),
                        reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 10'000, &copied);
    text.resize(copied);
    std::erase(text, L'\r');
    return text;
}

// What must exist after the install, with what it must hold, and be gone after the uninstall.
struct Installed {
    std::string what;
    std::function<Text()> read;
    Text expected;  // none: must not exist at any time (what the installer leaves alone)
};

std::vector<Installed> WhatTheInstallerMakes(const std::wstring& product) {
    const fs::path folder = KnownFolder(FOLDERID_LocalAppData) / L"Programs" / L"dsf2vemo";
    const std::wstring program = (folder / L"dsf2vemo.exe").wstring();
    const std::wstring open_command = L"\"" + program + L"\" \"%1\"";
    const HKEY user = HKEY_CURRENT_USER;
    const std::wstring classes = L"Software\\Classes\\";
    const std::wstring application = classes + L"Applications\\dsf2vemo.exe";
    const std::wstring type = classes + L"dsf2vemo.dsf";
    std::wstring icon(MAX_PATH, L'\0');
    DWORD icon_size = MAX_PATH;
    if (MsiGetProductInfoW(product.c_str(), INSTALLPROPERTY_PRODUCTICON, icon.data(), &icon_size) !=
        ERROR_SUCCESS) {
        icon_size = 0;
    }
    icon.resize(icon_size);
    std::vector<Installed> items;
    for (const wchar_t* name : {L"dsf2vemo.exe", L"dsf2vemo-cli.exe", L"README.md", L"demo.dsf"}) {
        items.push_back({fs::path(name).string(), [=] { return FileDigest(folder / name); },
                         FileDigest(g_stage / name)});
    }
    items.insert(
        items.end(),
        {
            {"the program folder",
             [=] { return fs::is_directory(folder) ? Text(L"a folder") : std::nullopt; },
             L"a folder"},
            {"the Start-menu shortcut",
             [=] { return ShortcutTarget(KnownFolder(FOLDERID_Programs) / L"dsf2vemo.lnk"); },
             program},
            {"the application's open command",
             [=] { return RegistryString(user, application + L"\\shell\\open\\command", nullptr); },
             open_command},
            {"the application's name",
             [=] { return RegistryString(user, application, L"FriendlyAppName"); }, L"dsf2vemo"},
            {"the application's supported type",
             [=] { return RegistryString(user, application + L"\\SupportedTypes", L".dsf"); }, L""},
            {"the application's key", [=] { return RegistryKey(user, application); }, L"a key"},
            {"the file type's name", [=] { return RegistryString(user, type, nullptr); },
             L"PRELIS data system file"},
            {"the file type's open command",
             [=] { return RegistryString(user, type + L"\\shell\\open\\command", nullptr); },
             open_command},
            {"the file type's key", [=] { return RegistryKey(user, type); }, L"a key"},
            {"the file type in Open with",
             [=] {
                 return RegistryString(user, classes + L".dsf\\OpenWithProgids", L"dsf2vemo.dsf");
             },
             L""},
            {"the default program of .dsf (left alone)",
             [=] { return RegistryString(user, classes + L".dsf", nullptr); }, std::nullopt},
            {"the products with the upgrade code",
             [] {
                 const std::vector<std::wstring> products = RelatedProducts();
                 return products.empty() ? std::nullopt : Text(products.front());
             },
             product},
            {"the uninstall entry's name", [=] { return UninstallEntry(product, L"DisplayName"); },
             L"dsf2vemo"},
            {"the uninstall entry's version",
             [=] { return UninstallEntry(product, L"DisplayVersion"); }, L"1.00"},
            {"the uninstall entry's publisher",
             [=] { return UninstallEntry(product, L"Publisher"); }, L"The dsf2vemo authors"},
            {"the uninstall entry's icon", [=] { return FileDigest(icon); },
             FileDigest(g_stage / L"dsf2vemo.ico")},
        });
    return items;
}

// Opens `file` as the shell does for "Open with" (the registered command, the file for %1),
// checks that the window has read it, and closes the window.
void OpenWithInstalledProgram(const fs::path& file) {
    std::wstring command =
        RegistryString(HKEY_CURRENT_USER,
                       L"Software\\Classes\\Applications\\dsf2vemo.exe\\shell\\open\\command",
                       nullptr)
            .value_or(L"");
    const std::size_t placeholder = command.find(L"%1");
    ASSERT_NE(placeholder, std::wstring::npos) << "no open command";
    command.replace(placeholder, 2, file.wstring());
    const UniqueHandle process = Start(command);
    ASSERT_TRUE(process) << "could not start the installed program";

    std::ifstream pane_file(g_expected_pane, std::ios::binary);
    std::wstring pane{std::istreambuf_iterator<char>(pane_file), {}};  // ASCII
    std::erase(pane, L'\r');
    const std::wstring expected_output = fs::path(file).replace_extension(L".txt").wstring();
    // The window can be found while it is still being made, and the program answers questions
    // from outside before it has read the file: the window is read again until it shows all of
    // the file, while the program runs, for 30 s at most.
    HWND window = nullptr;
    std::wstring input, output, text;
    bool convert = false;
    const auto shows_the_file = [&] {
        return input == file.wstring() && output == expected_output && text == pane && convert;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!shows_the_file() && WaitForSingleObject(process.get(), 50) == WAIT_TIMEOUT &&
           std::chrono::steady_clock::now() < deadline) {
        window = FindWindowW(nullptr, L"Convert from Prelis to Vemo");
        DWORD owner = 0;
        if (window == nullptr || GetWindowThreadProcessId(window, &owner) == 0 ||
            owner != GetProcessId(process.get())) {
            window = nullptr;
            continue;
        }
        input = ControlText(window, gui::IDC_LabelInput);
        output = ControlText(window, gui::IDC_LabelOutput);
        text = ControlText(window, gui::IDC_RichTextBox1);
        convert = IsWindowEnabled(GetDlgItem(window, gui::IDC_cmdConvert)) != 0;
    }
    ASSERT_NE(window, nullptr) << "the window did not open";
    EXPECT_EQ(input, file.wstring());
    EXPECT_EQ(output, expected_output);
    EXPECT_TRUE(convert);
    EXPECT_EQ(text, pane);

    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.get(), 20'000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.get(), &code);
    } else {
        TerminateProcess(process.get(), 1);
    }
    EXPECT_EQ(code, 0u) << "the program's exit code";
}

TEST(MsiInstall, InstallsOpensUpgradesAndUninstallsClean) {
    ASSERT_EQ(Msiexec(L"/i", g_msi), 0u);
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
    ASSERT_EQ(Msiexec(L"/i", g_later_msi), 0u);
    const std::vector<std::wstring> upgraded = RelatedProducts();
    ASSERT_EQ(upgraded.size(), 1u) << "products with the upgrade code after the upgrade";
    EXPECT_NE(upgraded.front(), product);
    EXPECT_EQ(UninstallEntry(product, L"DisplayName"), std::nullopt);
    EXPECT_NE(items.front().read(), std::nullopt) << "the program after the upgrade";

    ASSERT_EQ(Msiexec(L"/x", g_later_msi), 0u);
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
