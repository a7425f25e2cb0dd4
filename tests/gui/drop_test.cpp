#include <gtest/gtest.h>

#include <richedit.h>
#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "case_name.h"
#include "command_line.h"
#include "dsf_builder.h"
#include "form1_fixture.h"
#include "text_encoding.h"

// Files reach the window without the Input dialog: dropped onto it (a real WM_DROPFILES with a
// drop handle built here, as the shell builds one) or named on the command line.
namespace dsf2vemo::testing {
namespace {

namespace fs = std::filesystem;

enum class Item { None, Earlier, Good, Other, Bad, Folder };
enum class Road { Drop, CommandLine, CommandLineInTheFolder };
enum class Box { Quiet, OneAtATime, TooShort, NotAFile };

class DropFixture : public Form1Fixture {
  protected:
    void SetUp() override {
        Form1Fixture::SetUp();
        fs::create_directories(Path(Item::Folder));
        WriteFileBytes(Path(Item::Earlier), BuildDsf(SyntheticMomentData(3), "EARLIER"));
        WriteFileBytes(Path(Item::Good), BuildDsf(DemoMomentData(), kDemoHeader));
        WriteFileBytes(Path(Item::Other), BuildDsf(SyntheticMomentData(2), "OTHER"));
        std::vector<std::byte> truncated = BuildDsf(DemoMomentData(), kDemoHeader);
        truncated.resize(100);
        WriteFileBytes(Path(Item::Bad), truncated);
    }

    // A drop handle as the shell makes it: a DROPFILES header, then the wide paths, each ended by
    // a NUL, and one more NUL. The receiver frees it with DragFinish.
    void Drop(const std::vector<Item>& items) {
        std::wstring list;
        for (const Item item : items) {
            list += Path(item) + L'\0';
        }
        list.push_back(L'\0');
        const std::size_t list_bytes = list.size() * sizeof(wchar_t);
        const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list_bytes);
        auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list_bytes);
        GlobalUnlock(memory);
        SendMessageW(form_.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    }

    // In a folder outside the ANSI code page, as Explorer may hand over any name.
    std::wstring Path(Item item) const {
        static const wchar_t* const names[] = {
            L"",          L"earlier.dsf", L"s\u00fc\u00df \u6570\u636e.dsf",
            L"other.dsf", L"bad.dsf",     L"a folder.dsf"};
        return item == Item::None ? L"" : (folder_ / names[static_cast<int>(item)]).wstring();
    }

    const fs::path folder_ = File(L"\u03a9mega \u0434\u0430\u043d\u043d\u044b\u0435");
};

// A drop lands on a window that has read `earlier.dsf` through Input; the command line (as
// Explorer passes it for a file dropped onto the program's icon or opened with the program: the
// program first, then the files, quoted) is handled at start-up, before anything was read.
struct RoadCase {
    std::string name;
    Road road;
    std::vector<Item> files;
    Item shown;  // the file the window shows afterwards
    Box box;
};

class RoadInTest : public DropFixture, public ::testing::WithParamInterface<RoadCase> {};

TEST_P(RoadInTest, ReadsLikeInput) {
    const RoadCase& c = GetParam();
    std::map<Item, std::wstring> panes = {
        {Item::None, L""},
        {Item::Good, gui::AnsiToWide(kDemoPane)},
        {Item::Bad, L"DEMO" + std::wstring(60, L' ') + L"\r\n150 cases\r\n2 variables"}};
    std::wstring command_line = L"\"C:\\Program Files\\dsf2vemo\\dsf2vemo.exe\"";
    for (const Item item : c.files) {
        const bool relative = c.road == Road::CommandLineInTheFolder;
        command_line +=
            L" \"" + (relative ? fs::path(Path(item)).filename().wstring() : Path(item)) + L"\"";
    }
    if (c.road == Road::Drop) {
        Input(Path(Item::Earlier));
        panes[Item::Earlier] = PaneText();
        Drop(c.files);
    } else {
        const fs::path was = fs::current_path();
        fs::current_path(folder_);
        const std::vector<fs::path> files = gui::CommandLineFiles(command_line.c_str());
        fs::current_path(was);
        form_.OpenFiles(files);
    }

    EXPECT_EQ(Caption(gui::IDC_LabelInput), Path(c.shown));
    EXPECT_EQ(Caption(gui::IDC_LabelOutput),
              c.shown == Item::None ? L"" : fs::path(Path(c.shown)).replace_extension(L".txt"));
    EXPECT_EQ(ConvertEnabled(), c.shown == Item::Good || c.shown == Item::Earlier);
    EXPECT_EQ(PaneText(), panes.at(c.shown));
    ASSERT_EQ(box_.shown.size(), c.box == Box::Quiet ? 0u : 1u);
    if (c.box != Box::Quiet) {
        const bool one_at_a_time = c.box == Box::OneAtATime;
        const std::wstring last =
            one_at_a_time            ? std::to_wstring(c.files.size()) + L" files were dropped)"
            : c.box == Box::TooShort ? L"the file is 100 bytes long, but a data system file with "
                                       L"2 variables needs 128 bytes)"
                                     : L"it is a folder, not a file)";
        EXPECT_EQ(box_.shown[0].text,
                  (one_at_a_time ? L"Only one file is read at a time. Reading the first one,"
                                 : L"An error occurred while trying to read the Prelis file,") +
                      (L"\r\n" + Path(c.files[0]) + L".\r\n\r\n(" + last));
        EXPECT_EQ(box_.shown[0].caption, one_at_a_time ? L"Convert from Prelis to Vemo" : L"Error");
        EXPECT_EQ(box_.shown[0].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    }
    // The pane, made anew for each read, covers most of the window: it must leave drops to the
    // window, or a file dropped on it would never reach the window.
    const HWND pane = Control(gui::IDC_RichTextBox1);
    EXPECT_TRUE(GetWindowLongPtrW(form_.Hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_FALSE(GetWindowLongPtrW(pane, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_TRUE(GetWindowLongPtrW(pane, GWL_STYLE) & ES_NOOLEDRAGDROP);
    // The file dialog carries the file over, as if it had been chosen there.
    Input(std::nullopt);
    EXPECT_EQ(dialog_.openings.back().FileName, Path(c.shown));
}

using enum Item;
using enum Road;
using enum Box;
INSTANTIATE_TEST_SUITE_P(
    Roads, RoadInTest,
    ::testing::Values(
        RoadCase{"drop_one_file", Drop, {Good}, Good, Quiet},
        RoadCase{"drop_several_files", Drop, {Good, Other, Bad}, Good, OneAtATime},
        RoadCase{"drop_bad_file", Drop, {Bad}, Bad, TooShort},
        RoadCase{"drop_folder_changes_nothing", Drop, {Folder}, Earlier, NotAFile},
        RoadCase{"drop_folder_first", Drop, {Folder, Good}, Earlier, NotAFile},
        RoadCase{"command_line_without_file", CommandLine, {}, None, Quiet},
        RoadCase{"command_line_good_file", CommandLine, {Good}, Good, Quiet},
        RoadCase{"command_line_bad_file", CommandLine, {Bad}, Bad, TooShort},
        RoadCase{"command_line_two_files", CommandLine, {Good, Other}, Good, OneAtATime},
        RoadCase{"command_line_relative_name", CommandLineInTheFolder, {Good}, Good, Quiet}),
    CaseName());

// A drop while one of the window's dialogs or boxes is open (each pumps messages) must not start
// a read inside the running one, which ends as if nothing had been dropped.
TEST_F(DropFixture, IsRefusedWhileADialogOrBoxIsOpen) {
    dialog_.while_open = [this] { Drop({Item::Bad}); };
    Input(Path(Item::Good));
    EXPECT_EQ(Caption(gui::IDC_LabelInput), Path(Item::Good));
    EXPECT_TRUE(box_.shown.empty());

    box_.while_open = [this] { Drop({Item::Good}); };
    Drop({Item::Bad});
    EXPECT_EQ(Caption(gui::IDC_LabelInput), Path(Item::Bad));
    EXPECT_EQ(box_.shown.size(), 1u);

    // Drops are taken again afterwards.
    Drop({Item::Other});
    EXPECT_EQ(Caption(gui::IDC_LabelInput), Path(Item::Other));
}

}  // namespace
}  // namespace dsf2vemo::testing
