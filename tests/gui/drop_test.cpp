#include <gtest/gtest.h>

#include <richedit.h>
#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
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

enum class Item { Earlier, Good, Other, Bad, Folder };
enum class Box { OneAtATime, ReadFailure, FolderRefused };

// A drop handle as the shell makes it: a DROPFILES header, then the wide paths, each ended by a
// NUL, and one more NUL. The receiver frees it with DragFinish.
HDROP MakeDrop(const std::vector<fs::path>& paths) {
    std::wstring list;
    for (const fs::path& path : paths) {
        list += path.wstring();
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    const std::size_t list_bytes = list.size() * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list_bytes);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list_bytes);
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

std::wstring Demo() {
    return gui::AnsiToWide(kDemoPane);
}

// The echo of the truncated demo file up to the failure.
std::wstring PartialDemo() {
    return L"DEMO" + std::wstring(60, L' ') + L"\r\n150 cases\r\n2 variables";
}

class DropFixture : public Form1Fixture {
  protected:
    void SetUp() override {
        Form1Fixture::SetUp();
        fs::create_directory(folder_);
        fs::create_directory(paths_.at(Item::Folder));
        WriteFileBytes(paths_.at(Item::Earlier), BuildDsf(SyntheticMomentData(3), "EARLIER"));
        WriteFileBytes(paths_.at(Item::Good), BuildDsf(DemoMomentData(), kDemoHeader));
        WriteFileBytes(paths_.at(Item::Other), BuildDsf(SyntheticMomentData(2), "OTHER"));
        std::vector<std::byte> truncated = BuildDsf(DemoMomentData(), kDemoHeader);
        truncated.resize(100);
        WriteFileBytes(paths_.at(Item::Bad), truncated);
    }

    void Drop(const std::vector<Item>& items) {
        std::vector<fs::path> paths;
        for (const Item item : items) {
            paths.push_back(paths_.at(item));
        }
        SendMessageW(form_.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
    }

    std::wstring Path(Item item) const { return paths_.at(item).wstring(); }
    std::wstring OutputName(Item item) const {
        return fs::path(paths_.at(item)).replace_extension(L".txt").wstring();
    }

    // What the file dialog shows when it opens next.
    std::wstring DialogFileName() {
        Input(std::nullopt);
        return dialog_.openings.back().FileName;
    }

    // The box a drop of `dropped` shows: text and title.
    std::pair<std::wstring, std::wstring> ExpectedBox(Box box,
                                                      const std::vector<Item>& dropped) const {
        const std::wstring first = Path(dropped.front());
        const std::wstring read_failed =
            L"An error occurred while trying to read the Prelis file,\r\n" + first + L".\r\n\r\n(";
        switch (box) {
            case Box::ReadFailure:
                return {read_failed +
                            L"the file is 100 bytes long, but a data system file with 2 "
                            L"variables needs 128 bytes)",
                        L"Error"};
            case Box::FolderRefused:
                return {read_failed + L"it is a folder, not a file)", L"Error"};
            case Box::OneAtATime:
                return {L"Only one file is read at a time. Reading the first one,\r\n" + first +
                            L".\r\n\r\n(" + std::to_wstring(dropped.size()) +
                            L" files were dropped)",
                        L"Convert from Prelis to Vemo"};
        }
        return {};
    }

    // Outside the ANSI code page, as Explorer may hand over any name.
    const fs::path folder_ = File(L"\u03a9mega \u0434\u0430\u043d\u043d\u044b\u0435");
    const std::map<Item, fs::path> paths_ = {
        {Item::Earlier, folder_ / L"earlier.dsf"},
        {Item::Good, folder_ / L"s\u00fc\u00df \u6570\u636e.dsf"},
        {Item::Other, folder_ / L"other.dsf"},
        {Item::Bad, folder_ / L"bad.dsf"},
        {Item::Folder, folder_ / L"a folder.dsf"},
    };
};

// Each drop lands on a window that has read `earlier.dsf` through Input.
struct DropCase {
    std::string name;
    std::vector<Item> dropped;
    Item shown;  // the file the captions name afterwards
    bool convert_enabled;
    std::optional<Box> box;
};

class DropTest : public DropFixture, public ::testing::WithParamInterface<DropCase> {};

TEST_P(DropTest, ReadsLikeInput) {
    const DropCase& c = GetParam();
    Input(paths_.at(Item::Earlier));
    const std::wstring earlier_pane = PaneText();
    Drop(c.dropped);

    EXPECT_EQ(Caption(gui::IDC_LabelInput), Path(c.shown));
    EXPECT_EQ(Caption(gui::IDC_LabelOutput), OutputName(c.shown));
    EXPECT_EQ(ConvertEnabled(), c.convert_enabled);
    const std::map<Item, std::wstring> panes = {
        {Item::Earlier, earlier_pane}, {Item::Good, Demo()}, {Item::Bad, PartialDemo()}};
    EXPECT_EQ(PaneText(), panes.at(c.shown));
    if (c.box) {
        ASSERT_EQ(box_.shown.size(), 1u);
        const auto [text, caption] = ExpectedBox(*c.box, c.dropped);
        EXPECT_EQ(box_.shown[0].text, text);
        EXPECT_EQ(box_.shown[0].caption, caption);
        EXPECT_EQ(box_.shown[0].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    } else {
        EXPECT_TRUE(box_.shown.empty());
    }
    // The file dialog carries the file over, as if it had been chosen there.
    EXPECT_EQ(DialogFileName(), Path(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Drops, DropTest,
    ::testing::Values(
        DropCase{"one_file", {Item::Good}, Item::Good, true, std::nullopt},
        DropCase{"several_files_read_the_first",
                 {Item::Good, Item::Other, Item::Bad},
                 Item::Good,
                 true,
                 Box::OneAtATime},
        DropCase{
            "bad_file_as_after_a_failed_input", {Item::Bad}, Item::Bad, false, Box::ReadFailure},
        DropCase{"folder_refused_and_nothing_changed",
                 {Item::Folder},
                 Item::Earlier,
                 true,
                 Box::FolderRefused},
        DropCase{"folder_first_of_several_refused",
                 {Item::Folder, Item::Good},
                 Item::Earlier,
                 true,
                 Box::FolderRefused}),
    CaseName());

// A drop while one of the window's dialogs or boxes is open (each pumps messages) must not start
// a read inside the running one; the running one ends as if nothing had been dropped.
struct BusyCase {
    std::string name;
    bool during_box;  // else during the Input dialog
    std::vector<Item> first;
    std::vector<Item> dropped_meanwhile;
    Item shown;
    std::size_t boxes;
};

class DropWhileBusyTest : public DropFixture, public ::testing::WithParamInterface<BusyCase> {};

TEST_P(DropWhileBusyTest, IsRefused) {
    const BusyCase& c = GetParam();
    const auto drop_meanwhile = [this, &c] { Drop(c.dropped_meanwhile); };
    if (c.during_box) {
        box_.while_open = drop_meanwhile;
        Drop(c.first);
    } else {
        dialog_.while_open = drop_meanwhile;
        Input(paths_.at(c.first.front()));
    }
    EXPECT_EQ(Caption(gui::IDC_LabelInput), Path(c.shown));
    EXPECT_EQ(box_.shown.size(), c.boxes);
    // The window takes drops again afterwards.
    Drop({Item::Other});
    EXPECT_EQ(Caption(gui::IDC_LabelInput), Path(Item::Other));
}

INSTANTIATE_TEST_SUITE_P(
    Modal, DropWhileBusyTest,
    ::testing::Values(
        BusyCase{"input_dialog", false, {Item::Good}, {Item::Bad}, Item::Good, 0},
        BusyCase{"read_failure_box", true, {Item::Bad}, {Item::Good}, Item::Bad, 1},
        BusyCase{"one_at_a_time_box", true, {Item::Good, Item::Other}, {Item::Bad}, Item::Good, 1}),
    CaseName());

// The pane covers most of the window: it must not take drops for itself, or a file dropped on it
// would never reach the window. The pane is made anew for each read.
TEST_F(DropFixture, ThePaneLeavesDropsToTheWindow) {
    const auto ex_style = [](HWND window) { return GetWindowLongPtrW(window, GWL_EXSTYLE); };
    EXPECT_TRUE(ex_style(form_.Hwnd()) & WS_EX_ACCEPTFILES);
    for (int read = 0; read < 2; ++read) {
        const HWND pane = Control(gui::IDC_RichTextBox1);
        EXPECT_FALSE(ex_style(pane) & WS_EX_ACCEPTFILES) << "read " << read;
        EXPECT_TRUE(GetWindowLongPtrW(pane, GWL_STYLE) & ES_NOOLEDRAGDROP) << "read " << read;
        Drop({Item::Good});
    }
}

// The command line as Explorer passes it for a file dropped onto the program's icon or opened
// with the program: the program's path first, then the files, quoted.
struct CommandLineCase {
    std::string name;
    std::vector<Item> arguments;
    std::optional<Item> shown;
    std::size_t boxes;
};

class CommandLineTest : public DropFixture,
                        public ::testing::WithParamInterface<CommandLineCase> {};

TEST_P(CommandLineTest, StartsReadingTheFirstFile) {
    const CommandLineCase& c = GetParam();
    std::wstring command_line = L"\"C:\\Program Files\\dsf2vemo\\dsf2vemo.exe\"";
    for (const Item item : c.arguments) {
        command_line += L" \"" + Path(item) + L"\"";
    }
    form_.OpenFiles(gui::CommandLineFiles(command_line.c_str()));
    EXPECT_EQ(Caption(gui::IDC_LabelInput), c.shown ? Path(*c.shown) : L"");
    EXPECT_EQ(Caption(gui::IDC_LabelOutput), c.shown ? OutputName(*c.shown) : L"");
    EXPECT_EQ(ConvertEnabled(), c.shown == Item::Good);
    EXPECT_EQ(PaneText(), c.shown == Item::Good  ? Demo()
                          : c.shown == Item::Bad ? PartialDemo()
                                                 : L"");
    EXPECT_EQ(box_.shown.size(), c.boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineTest,
    ::testing::Values(CommandLineCase{"no_argument", {}, std::nullopt, 0},
                      CommandLineCase{"good_file", {Item::Good}, Item::Good, 0},
                      CommandLineCase{"bad_file", {Item::Bad}, Item::Bad, 1},
                      CommandLineCase{"two_files", {Item::Good, Item::Other}, Item::Good, 1}),
    CaseName());

// "dsf2vemo.exe study.dsf" typed in a console names a file in the current folder.
TEST_F(DropFixture, CommandLineNamesAreMadeAbsolute) {
    const fs::path was = fs::current_path();
    fs::current_path(folder_);
    const std::vector<fs::path> files = gui::CommandLineFiles(L"dsf2vemo.exe other.dsf \"\"");
    fs::current_path(was);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(fs::equivalent(files[0], paths_.at(Item::Other)));
    EXPECT_TRUE(files[0].is_absolute());
}

}  // namespace
}  // namespace dsf2vemo::testing
