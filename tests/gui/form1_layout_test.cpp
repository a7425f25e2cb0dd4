#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "case_name.h"
#include "dpi.h"
#include "form1_fixture.h"

namespace dsf2vemo::testing {
namespace {

using gui::ControlId;

// A child's place in its parent's client area, in pixels.
gui::PixelRect ChildRect(HWND parent, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void SetClientSize(HWND window, int width, int height) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    const SIZE size = gui::WindowSizeForClient(width, height, style, ex_style, 96);
    SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
}

struct Expected {
    ControlId id;
    gui::PixelRect twips;  // the documented place, in twips
};

struct WindowLayoutCase {
    std::string name;
    int client_width_twips;
    int client_height_twips;
    std::vector<Expected> controls;
};

class Form1WindowLayoutTest : public Form1Fixture,
                              public ::testing::WithParamInterface<WindowLayoutCase> {};

// At 96 DPI 15 twips make a pixel. The client area can only be a whole number of pixels, so
// each edge may be off by one pixel from the exact conversion.
TEST_P(Form1WindowLayoutTest, PlacesTheRealControls) {
    ASSERT_EQ(gui::WindowDpi(form_.Hwnd()), 96u);
    const WindowLayoutCase& c = GetParam();
    SetClientSize(form_.Hwnd(), gui::TwipsToPixels(static_cast<float>(c.client_width_twips), 96),
                  gui::TwipsToPixels(static_cast<float>(c.client_height_twips), 96));
    for (const Expected& expected : c.controls) {
        const gui::PixelRect actual = ChildRect(form_.Hwnd(), Control(expected.id));
        const auto within_a_pixel = [](int pixels, int twips) {
            return std::abs(pixels * 15 - twips) <= 15;
        };
        EXPECT_TRUE(within_a_pixel(actual.Left, expected.twips.Left))
            << c.name << " control " << expected.id;
        EXPECT_TRUE(within_a_pixel(actual.Top, expected.twips.Top))
            << c.name << " control " << expected.id;
        EXPECT_TRUE(within_a_pixel(actual.Width, expected.twips.Width))
            << c.name << " control " << expected.id;
        EXPECT_TRUE(within_a_pixel(actual.Height, expected.twips.Height))
            << c.name << " control " << expected.id;
    }
}

std::vector<Expected> DesignPlaces(int wider, int taller) {
    return {
        {gui::IDC_cmdInput, {100, 120, 732, 252}},
        {gui::IDC_cmdOutput, {100, 480, 732, 252}},
        {gui::IDC_cmdConvert, {100, 840, 732, 252}},
        {gui::IDC_cmdHelp, {2160 + wider / 2, 840, 732, 252}},
        {gui::IDC_cmdAbout, {4220 + wider, 840, 732, 252}},
        {gui::IDC_LabelInput, {882, 120, 4070 + wider, 252}},
        {gui::IDC_LabelOutput, {882, 480, 4070 + wider, 252}},
        {gui::IDC_RichTextBox1, {100, 1200, 4852 + wider, 2648 + taller}},
    };
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, Form1WindowLayoutTest,
    ::testing::Values(WindowLayoutCase{"design", 5052, 3948, DesignPlaces(0, 0)},
                      WindowLayoutCase{"wider_by_1000", 6052, 3948, DesignPlaces(1000, 0)},
                      WindowLayoutCase{"taller_by_500", 5052, 4448, DesignPlaces(0, 500)}),
    CaseName());

TEST_F(Form1Fixture, OpensWithTheDesignedClientArea) {
    RECT client{};
    GetClientRect(form_.Hwnd(), &client);
    EXPECT_EQ(client.right, 337);   // 5052 twips
    EXPECT_EQ(client.bottom, 263);  // 3948 twips
}

void ExpectNoNegativeSizes(HWND form) {
    for (HWND child = GetWindow(form, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const gui::PixelRect rect = ChildRect(form, child);
        EXPECT_GE(rect.Width, 0) << "control " << GetDlgCtrlID(child);
        EXPECT_GE(rect.Height, 0) << "control " << GetDlgCtrlID(child);
    }
}

// Minimised, the inner area is 0 by 0: the controls keep their places for the restore.
TEST_F(Form1Fixture, SurvivesMinimisingAndRestoring) {
    const gui::PixelRect before = ChildRect(form_.Hwnd(), Control(gui::IDC_RichTextBox1));
    ShowWindow(form_.Hwnd(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(form_.Hwnd()));
    const gui::PixelRect minimised = ChildRect(form_.Hwnd(), Control(gui::IDC_RichTextBox1));
    EXPECT_EQ(minimised.Width, before.Width);
    EXPECT_EQ(minimised.Height, before.Height);
    ShowWindow(form_.Hwnd(), SW_RESTORE);
    const gui::PixelRect after = ChildRect(form_.Hwnd(), Control(gui::IDC_RichTextBox1));
    EXPECT_EQ(after.Width, before.Width);
    EXPECT_EQ(after.Height, before.Height);
}

// Windows shows a negative size as 0 anyway, so the layout itself is what must not go negative.
TEST_F(Form1Fixture, ShrunkToASliverClampsSizesAtZero) {
    SetClientSize(form_.Hwnd(), 4, 4);
    RECT client{};
    GetClientRect(form_.Hwnd(), &client);
    ASSERT_LT(client.bottom * 15, 1200 + 100) << "the window can't be made low enough";
    const layout::FormLayout& placed = form_.Layout();
    for (const layout::TwipRect* rect :
         {&placed.cmdInput, &placed.cmdOutput, &placed.cmdConvert, &placed.cmdHelp,
          &placed.cmdAbout, &placed.LabelInput, &placed.LabelOutput, &placed.RichTextBox1}) {
        EXPECT_GE(rect->Width, 0);
        EXPECT_GE(rect->Height, 0);
    }
    EXPECT_EQ(placed.RichTextBox1.Height, 0);
    if (client.right * 15 < 882 + 100) {
        EXPECT_EQ(placed.LabelInput.Width, 0);
    }
    ExpectNoNegativeSizes(form_.Hwnd());
}

TEST_F(Form1Fixture, FollowsADpiChangeToTheSuggestedRect) {
    RECT suggested{10, 20, 10 + 800, 20 + 600};
    SendMessageW(form_.Hwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT window{};
    GetWindowRect(form_.Hwnd(), &window);
    EXPECT_EQ(window.left, 10);
    EXPECT_EQ(window.right - window.left, 800);
    // At 192 DPI a twip is 1/7.5 pixel: Input's top of 120 twips is 16 pixels.
    const gui::PixelRect input = ChildRect(form_.Hwnd(), Control(gui::IDC_cmdInput));
    EXPECT_EQ(input.Top, 16);
    EXPECT_EQ(input.Width, 98);  // 732 twips
}

}  // namespace
}  // namespace dsf2vemo::testing
