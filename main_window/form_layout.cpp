#include "form_layout.h"

#include <algorithm>

namespace dsf2vemo::layout {

namespace {

constexpr float kMargin = 100;   // from the window's left, right and bottom edges
constexpr float kLabelGap = 50;  // between a button and the path label to its right

float NotNegative(float length) {
    return std::max(length, 0.0f);
}

}  // namespace

FormLayout DesignLayout() {
    FormLayout form;
    form.cmdInput = {240, 120, 732, 252};
    form.cmdOutput = {240, 480, 732, 252};
    form.cmdConvert = {240, 840, 732, 252};
    form.cmdHelp = {2160, 840, 732, 252};
    form.cmdAbout = {4080, 840, 732, 252};
    form.LabelInput = {1080, 120, 3732, 252};
    form.LabelOutput = {1080, 480, 3732, 252};
    form.RichTextBox1 = {240, 1200, 3012, 612};
    return form;
}

void Form_Load(FormLayout& form) {
    form.cmdInput.Left = kMargin;
    form.cmdOutput.Left = kMargin;
    form.cmdConvert.Left = kMargin;
    form.RichTextBox1.Left = kMargin;
    form.LabelInput.Left = form.cmdInput.Left + form.cmdInput.Width + kLabelGap;
    form.LabelOutput.Left = form.cmdOutput.Left + form.cmdOutput.Width + kLabelGap;
}

void Form_Resize(FormLayout& form, float scale_width, float scale_height) {
    form.LabelInput.Width = NotNegative(scale_width - form.LabelInput.Left - kMargin);
    form.LabelOutput.Width = NotNegative(scale_width - form.LabelOutput.Left - kMargin);
    form.RichTextBox1.Width = NotNegative(scale_width - form.RichTextBox1.Left - kMargin);
    form.cmdAbout.Left = scale_width - form.cmdAbout.Width - kMargin;
    form.RichTextBox1.Height = NotNegative(scale_height - form.RichTextBox1.Top - kMargin);
    CenterControl(form.cmdHelp, scale_width);
}

void CenterControl(TwipRect& control, float container_scale_width) {
    control.Left = (container_scale_width - control.Width) / 2;
}

}  // namespace dsf2vemo::layout
