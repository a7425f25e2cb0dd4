#include "form_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "case_name.h"

namespace dsf2vemo::layout {

// Found by GoogleTest through the argument's namespace.
void PrintTo(const TwipRect& r, std::ostream* os) {
    *os << "{" << r.Left << ", " << r.Top << ", " << r.Width << ", " << r.Height << "}";
}

namespace {

// The window as it stands at the designed client size, 5052 by 3948 twips.
FormLayout AtDesignSize() {
    FormLayout form;
    form.cmdInput = {100, 120, 732, 252};
    form.cmdOutput = {100, 480, 732, 252};
    form.cmdConvert = {100, 840, 732, 252};
    form.cmdHelp = {2160, 840, 732, 252};
    form.cmdAbout = {4220, 840, 732, 252};
    form.LabelInput = {882, 120, 4070, 252};
    form.LabelOutput = {882, 480, 4070, 252};
    form.RichTextBox1 = {100, 1200, 4852, 2648};
    return form;
}

struct ResizeCase {
    std::string name;
    float width;
    float height;
    FormLayout expected;
};

FormLayout Wider(float extra) {
    FormLayout form = AtDesignSize();
    form.LabelInput.Width += extra;
    form.LabelOutput.Width += extra;
    form.RichTextBox1.Width += extra;
    form.cmdAbout.Left += extra;
    form.cmdHelp.Left += extra / 2;
    return form;
}

FormLayout Taller(float extra) {
    FormLayout form = AtDesignSize();
    form.RichTextBox1.Height += extra;
    return form;
}

// Narrower and lower than the fixed controls need: sizes stop at 0, About and Help move left of
// the edge.
FormLayout Sliver() {
    FormLayout form = AtDesignSize();
    form.LabelInput.Width = 0;
    form.LabelOutput.Width = 0;
    form.RichTextBox1.Width = 0;
    form.RichTextBox1.Height = 0;
    form.cmdAbout.Left = 150 - 732 - 100;
    form.cmdHelp.Left = (150 - 732) / 2.0f;
    return form;
}

FormLayout Empty() {
    FormLayout form = Sliver();
    form.cmdAbout.Left = -832;
    form.cmdHelp.Left = -366;
    return form;
}

class FormResizeTest : public ::testing::TestWithParam<ResizeCase> {};

TEST_P(FormResizeTest, PlacesEveryControl) {
    const ResizeCase& c = GetParam();
    FormLayout form = DesignLayout();
    Form_Load(form);
    Form_Resize(form, c.width, c.height);
    EXPECT_EQ(form.cmdInput, c.expected.cmdInput);
    EXPECT_EQ(form.cmdOutput, c.expected.cmdOutput);
    EXPECT_EQ(form.cmdConvert, c.expected.cmdConvert);
    EXPECT_EQ(form.cmdHelp, c.expected.cmdHelp);
    EXPECT_EQ(form.cmdAbout, c.expected.cmdAbout);
    EXPECT_EQ(form.LabelInput, c.expected.LabelInput);
    EXPECT_EQ(form.LabelOutput, c.expected.LabelOutput);
    EXPECT_EQ(form.RichTextBox1, c.expected.RichTextBox1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FormResizeTest,
                         ::testing::Values(ResizeCase{"design", 5052, 3948, AtDesignSize()},
                                           ResizeCase{"wider_by_1000", 6052, 3948, Wider(1000)},
                                           ResizeCase{"taller_by_500", 5052, 4448, Taller(500)},
                                           ResizeCase{"wider_and_taller", 6052, 4448,
                                                      [] {
                                                          FormLayout form = Wider(1000);
                                                          form.RichTextBox1.Height += 500;
                                                          return form;
                                                      }()},
                                           ResizeCase{"sliver", 150, 150, Sliver()},
                                           ResizeCase{"minimised_area", 0, 0, Empty()}),
                         testing::CaseName());

TEST(FormLayoutTest, ResizingBackRestoresTheDesign) {
    FormLayout form = DesignLayout();
    Form_Load(form);
    Form_Resize(form, 0, 0);
    Form_Resize(form, 5052, 3948);
    EXPECT_EQ(form, AtDesignSize());
}

TEST(FormLayoutTest, CenterControlAllowsFractionsAndNegativeEdges) {
    TwipRect control{0, 10, 733, 20};
    CenterControl(control, 1000);
    EXPECT_FLOAT_EQ(control.Left, 133.5f);
    CenterControl(control, 33);
    EXPECT_FLOAT_EQ(control.Left, -350.0f);
    EXPECT_EQ(control.Top, 10);
    EXPECT_EQ(control.Width, 733);
}

}  // namespace
}  // namespace dsf2vemo::layout
