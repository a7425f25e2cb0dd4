#include <gtest/gtest.h>

#include <string>

#include "results_pane.h"

namespace dsf2vemo {
namespace {

TEST(TextPaneTest, AppendsLandAtTheEndWhateverTheLength) {
    TextPane pane;
    // Far beyond any fixed insertion point a pane might use for "the end".
    pane.SetResultsText(std::string(1'000'005, 'a'));
    pane.AppendText("X");
    pane.AppendNewLine();
    pane.AppendNumber(0.3);
    EXPECT_EQ(pane.Text().size(), 1'000'005u + 1 + 2 + 5);
    EXPECT_EQ(pane.Text().substr(1'000'005), "X\r\n .300");
}

TEST(TextPaneTest, SetResultsTextReplacesEverything) {
    TextPane pane;
    pane.AppendText("old text");
    pane.SetResultsText("new");
    pane.AppendText("");
    pane.AppendNumber(-0.25);
    EXPECT_EQ(pane.Text(), "new -.250");
}

TEST(TextPaneTest, CaretIsClampedToTheText) {
    TextPane pane;
    pane.SetResultsText("ab");
    pane.SetSelStart(1);
    EXPECT_EQ(pane.SelStart(), 1u);
    pane.SetSelStart(999'999);
    EXPECT_EQ(pane.SelStart(), 2u);
}

TEST(TextPaneTest, NumbersUseThePanesDecimalSeparator) {
    TextPane pane(",");
    pane.AppendNumber(1234.5);
    pane.AppendNumber(0.3);
    EXPECT_EQ(pane.Text(), " 1234,500 ,300");
}

// What a window can't show is dropped, not failed on; the size is still known for a note.
TEST(TextPaneTest, PastWhatItKeepsItOnlyCounts) {
    TextPane pane(".", 9);
    pane.SetResultsText("head");
    pane.AppendNumber(0.5);
    EXPECT_TRUE(pane.KeptAll());
    EXPECT_EQ(pane.Text(), "head .500");
    pane.AppendText("more");
    EXPECT_FALSE(pane.KeptAll());
    EXPECT_EQ(pane.Text(), "");
    EXPECT_EQ(pane.EchoSize(), 13u);
    pane.SetResultsText("new");
    EXPECT_TRUE(pane.KeptAll());
    EXPECT_EQ(pane.Text(), "new");
}

}  // namespace
}  // namespace dsf2vemo
