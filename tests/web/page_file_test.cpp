// The page's side of the core: the head of an echo too long for a pane, each block of the files
// handed over as the whole file would be, the names and choices the page passes, and a failure of
// memory in words.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <regex>
#include <span>
#include <string>
#include <vector>

#include "dsf_builder.h"
#include "number_format.h"
#include "page_file.h"
#include "page_separators.h"
#include "page_text.h"
#include "pane_head.h"
#include "results_pane.h"
#include "warm_up.h"
#include "web_file.h"

namespace dsf2vemo::web {
namespace {

using testing::BuildDsf;
using testing::WellFormedMomentData;

// Appends each piece in turn, a number for an empty piece.
void Echo(PaneHead& pane, const std::vector<std::string>& pieces) {
    for (const std::string& piece : pieces) {
        if (piece.empty()) {
            pane.AppendNumber(1.5);
        } else {
            pane.AppendText(piece);
        }
    }
}

TEST(PaneHeadTest, KeepsTheWholeEchoUpToItsLimitAndThenWholeLines) {
    struct Row {
        std::size_t limit;
        std::vector<std::string> pieces;  // "" for the number 1.5, " 1.500"
        std::string head;
        std::size_t left_out;
    };
    const Row rows[] = {
        // Exactly at the limit and one past it.
        {8, {"ab\r\n", "cd\r\n"}, "ab\r\ncd\r\n", 0},
        {7, {"ab\r\n", "cd\r\n"}, "ab\r\n", 1},
        {9, {"ab\r\n", "cd\r\n", "e"}, "ab\r\ncd\r\ne", 0},
        {8, {"ab\r\n", "cd\r\n", "e"}, "ab\r\ncd\r\n", 1},
        // A line cut short counts, so do the lines after it and an open last line.
        {5, {"ab\r\ncd\r\nef\r\n"}, "ab\r\n", 2},
        {5, {"ab\r\ncd\r\nef"}, "ab\r\n", 2},
        {5, {"ab\r\n", "cd", "\r\n", "ef", "\r\n", "g"}, "ab\r\n", 3},
        // A line end split between two appends past the head.
        {3, {"ab\r\n", "c\r", "\nd\r\n"}, "", 3},
        // No whole line fits.
        {3, {"abcd\r\n"}, "", 1},
        {0, {"a"}, "", 1},
        // Numbers past the head are counted by their lines, not formatted.
        {10, {"x\r\n", "", "", "\r\n", "", "\r\n"}, "x\r\n", 2},
        {11, {"x\r\n", "", "\r\n"}, "x\r\n 1.500\r\n", 0},
        {10, {"x\r\n", "", "\r\n"}, "x\r\n", 1},
        {9, {"x\r\n", "", ""}, "x\r\n", 1},
        // A number that ends at the limit, and one that passes it by a character.
        {9, {"x\r\n", ""}, "x\r\n 1.500", 0},
        {8, {"x\r\n", ""}, "x\r\n", 1},
    };
    for (const Row& row : rows) {
        PaneHead pane(".", row.limit);
        Echo(pane, row.pieces);
        EXPECT_EQ(pane.Text(), row.head) << row.limit << " " << row.head;
        EXPECT_EQ(pane.LinesLeftOut(), row.left_out) << row.limit << " " << row.head;
        EXPECT_EQ(pane.KeptAll(), row.left_out == 0) << row.limit << " " << row.head;
    }
}

TEST(PaneHeadTest, NewTextStartsAfresh) {
    PaneHead pane(",", 6);
    pane.AppendText("abcdefgh\r\n");
    pane.SetResultsText("ab\r\n");
    pane.AppendNumber(0.25);
    EXPECT_EQ(pane.Text(), "ab\r\n");
    EXPECT_EQ(pane.LinesLeftOut(), 1u);
    pane.SetResultsText("x");
    pane.AppendNumber(0.25);
    EXPECT_EQ(pane.Text(), "x ,250");
    EXPECT_TRUE(pane.KeptAll());
}

TEST(PaneHeadTest, NumbersReadAsInThePaneOfTheCore) {
    const double values[] = {0.0,   -0.0,    0.0004999, -0.0005, 0.3,       -1234.5675,
                             1e300, -1e-300, 2.5e15,    NAN,     -INFINITY, INFINITY};
    for (const char* decimal : {".", ",", "\u066B"}) {
        PaneHead head(decimal, kPaneCharacterLimit);
        TextPane pane(decimal);
        for (const double value : values) {
            head.AppendText("x");
            pane.AppendText("x");
            head.AppendNumber(value);
            pane.AppendNumber(value);
        }
        EXPECT_EQ(head.Text(), pane.Text()) << decimal;
    }
}

// Numbers echoed together leave the head, the count of lines left out and the last characters
// as one at a time do: with limits that cut into the first gathering and into a later one, and
// decimal separators on either side of the longest that still lets a number fit the gathering.
TEST(PaneHeadTest, NumbersTogetherAsOneAtATime) {
    const double fast[] = {0.3, -1234.5675, -0.0004, 2.5e15};
    const double slow[] = {1e300, NAN, -INFINITY};
    std::vector<double> values;
    for (int i = 0; i < 3000; ++i) {
        values.push_back(i % 97 == 0 ? slow[i % 3] : fast[i % 4] * (1 + i));
    }
    const std::string fits(4096 - ThreeDecimalsRoom(""), ',');
    const struct {
        std::size_t limit;
        std::string decimal;
    } rows[] = {{kPaneCharacterLimit, "."},
                {kPaneCharacterLimit, "\u066B"},
                {7, "."},
                {1000, "."},
                {30000, ","},
                {40000, fits},
                {40000, fits + ","},
                {0, "."}};
    for (const auto& row : rows) {
        PaneHead together(row.decimal, row.limit);
        PaneHead apart(row.decimal, row.limit);
        for (PaneHead* pane : {&together, &apart}) {
            pane->AppendText("Covariances\r\n");
        }
        for (std::size_t start = 0; start < values.size(); start += 1000) {
            const auto line = std::span(values).subspan(start, 1000);
            together.AppendNumbers(line);
            for (const double value : line) {
                apart.AppendNumber(value);
            }
            together.AppendNewLine();
            apart.AppendNewLine();
        }
        EXPECT_EQ(together.Text(), apart.Text()) << row.limit << " " << row.decimal.size();
        EXPECT_EQ(together.LinesLeftOut(), apart.LinesLeftOut()) << row.limit;
        // The last characters decide whether the last line counts as left out.
        together.AppendText("\r\n");
        apart.AppendText("\r\n");
        EXPECT_EQ(together.LinesLeftOut(), apart.LinesLeftOut()) << row.limit;
    }
}

// The bytes of a file of p variables.
std::string FileOf(std::int32_t p) {
    const std::vector<std::byte> bytes = BuildDsf(WellFormedMomentData(p), "HEADER");
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

TEST(PageFileTest, AnEchoPastThePaneShowsItsHeadAndALineAboutTheRest) {
    const std::string bytes = FileOf(30);
    PageFile whole("s.dsf", bytes, ".");
    const std::string echo = whole.PaneText();
    ASSERT_TRUE(whole.IsRead());
    // The file's header line and the counts: a head of three lines.
    const std::size_t three_lines =
        echo.find("\r\n", echo.find("\r\n", echo.find("\r\n") + 2) + 2) + 2;
    const std::size_t lines = [&] {
        std::size_t count = 0;
        for (std::size_t at = echo.find("\r\n"); at != std::string::npos;
             at = echo.find("\r\n", at + 2)) {
            ++count;
        }
        return count + 1;  // the last line, the last mean's, ends without one
    }();
    for (const std::size_t limit : {three_lines, three_lines + 1}) {
        PageFile cut("s.dsf", bytes, ".", limit);
        ASSERT_TRUE(cut.IsRead());
        EXPECT_EQ(cut.PaneText(),
                  echo.substr(0, three_lines) + "... and " + std::to_string(lines - 3) +
                      " more lines, left out here: the page shows at most " +
                      std::to_string(limit) +
                      " characters of the echo. Convert still writes every value.\r\n");
    }
    // The last line, the means', cut by one character: it alone is left out.
    PageFile last("s.dsf", bytes, ".", echo.size() - 1);
    EXPECT_EQ(last.PaneText(),
              echo.substr(0, echo.rfind("\r\n") + 2) +
                  "... and 1 more line, left out here: the page shows at most " +
                  std::to_string(echo.size() - 1) +
                  " characters of the echo. Convert still writes every value.\r\n");
    PageFile exact("s.dsf", bytes, ".", echo.size());
    EXPECT_EQ(exact.PaneText(), echo);
}

TEST(PageFileTest, EachBlockHandedOverMakesTheWholeFile) {
    // Past a block of text, so that the file goes in more than one.
    const std::string bytes = FileOf(500);
    for (const OutputFormat format : {OutputFormat::Vemo, OutputFormat::Json}) {
        PageFile file("s.dsf", bytes, ",");
        const PageConversion whole = file.Convert(format, {";", ","});
        std::string joined;
        std::size_t blocks = 0;
        const PageConversion streamed =
            file.Convert(format, {";", ","}, [&](std::string_view block) {
                joined += block;
                ++blocks;
            });
        ASSERT_EQ(whole.files.size(), 1u);
        ASSERT_EQ(streamed.files.size(), 1u);
        EXPECT_EQ(streamed.files[0].name, whole.files[0].name);
        EXPECT_EQ(streamed.files[0].bytes, "");
        EXPECT_EQ(joined, whole.files[0].bytes);
        EXPECT_GT(blocks, 1u);
    }
    std::string pane;
    PageFile file("s.dsf", bytes, ",");
    file.WritePaneText([&](std::string_view piece) { pane += piece; });
    EXPECT_EQ(pane, file.PaneText());
}

TEST(WarmUpTest, TheFirstFileReadsWithoutFindingsAndNeedsEveryDigit) {
    for (const std::int32_t p : {2, kWarmUpVariables}) {
        PageFile file("warm-up.dsf", WarmUpFileBytes(p), ".");
        ASSERT_TRUE(file.IsRead()) << file.Failure();
        file.Diagnose();
        EXPECT_EQ(file.FindingCount(), 0u) << p;
        const std::string text = file.Convert(OutputFormat::Vemo, {",", "."}).files.at(0).bytes;
        // The header row names every variable, and the last row holds values of 15 digits.
        EXPECT_NE(text.find(",V" + std::to_string(p) + "\r\n"), std::string::npos) << p;
        const std::string last_row = text.substr(text.rfind("cov,", text.rfind("cov,") - 1));
        EXPECT_TRUE(std::regex_search(last_row, std::regex(",[0-9]\\.[0-9]{14}[,\r]"))) << last_row;
    }
}

TEST(WebFileTest, TheChoicesAndNamesThePagePasses) {
    const std::optional<OutputFormat> formats[] = {
        std::nullopt, OutputFormat::Vemo, OutputFormat::Json, OutputFormat::Mplus, std::nullopt};
    for (int index = -1; index <= 3; ++index) {
        EXPECT_EQ(FormatOfPageIndex(index), formats[index + 1]) << index;
    }
    const std::pair<const char*, const char*> archives[] = {
        {"study.inp", "study-mplus.zip"},
        {"my.study.final.inp", "my.study.final-mplus.zip"},
        {"study", "study-mplus.zip"},
        {".inp", "-mplus.zip"},
    };
    for (const auto& [input, archive] : archives) {
        EXPECT_EQ(MplusArchiveName(input), archive) << input;
    }
}

TEST(WebFileTest, SeparatorsTheFileCantHoldAreRefusedByName) {
    const std::string cant_hold =
        "\" holds a character that code page 1252 of the text data file "
        "can't hold";
    struct Row {
        const char* list;
        const char* decimal;
        std::string problem;
    };
    const Row rows[] = {
        {";", ",", ""},
        {"\u20AC", ".", ""},
        {"\u2400", ".", "the list separator \"\u2400" + cant_hold},
        {",", "\u066B", "the decimal separator \"\u066B" + cant_hold},
        {"\u2400", "\u066B", "the list separator \"\u2400" + cant_hold},
    };
    for (const Row& row : rows) {
        const PageSeparators separators = SeparatorsFromPage(row.list, row.decimal);
        EXPECT_EQ(separators.problem, row.problem) << row.list << row.decimal;
        EXPECT_EQ(separators.separators.has_value(), row.problem.empty());
    }
    EXPECT_EQ(SeparatorsFromPage("\u20AC", ",").separators->list, "\x80");
}

TEST(WebFileTest, NoFailureLeavesItAndMemoryRunningShortIsSaidInWords) {
    const std::string bytes = FileOf(3);
    const auto copy = [&bytes](std::span<char> buffer) {
        bytes.copy(buffer.data(), buffer.size());
    };
    WebFile file;
    file.Read(
        "s.dsf", bytes.size(), [](std::span<char>) { throw std::bad_alloc(); }, ".");
    EXPECT_FALSE(file.IsRead());
    EXPECT_EQ(file.Failure(), kPageOutOfMemory);
    EXPECT_EQ(file.Convert(0, ",", ".", {}).failure,
              "no data system file has been read successfully");

    file.Read("s.dsf", bytes.size() - 1, copy, ",");
    EXPECT_FALSE(file.IsRead());
    EXPECT_NE(file.Failure(), "");

    file.Read("s.dsf", bytes.size(), copy, ",");
    ASSERT_TRUE(file.IsRead());
    EXPECT_EQ(file.Failure(), "");
    EXPECT_EQ(file.WritePaneText([](std::string_view) { throw std::bad_alloc(); }),
              kPageOutOfMemory);
    const WebConversion refused = file.Convert(0, "\u2400", ".", {});
    EXPECT_EQ(refused.output, "s.txt");
    EXPECT_TRUE(refused.files.empty());
    EXPECT_NE(refused.failure.find("list separator"), std::string::npos);
    const WebConversion out_of_memory =
        file.Convert(1, ",", ".", [](std::string_view) { throw std::bad_alloc(); });
    EXPECT_TRUE(out_of_memory.files.empty());
    EXPECT_EQ(out_of_memory.failure, kPageOutOfMemory);
    const WebConversion mplus = file.Convert(2, ",", ".", {});
    EXPECT_EQ(mplus.failure, "");
    EXPECT_EQ(mplus.output, "s.inp");
    EXPECT_EQ(mplus.archive, "s-mplus.zip");
    EXPECT_EQ(mplus.files.size(), 2u);
    EXPECT_EQ(file.Convert(1, ",", ".", {}).archive, "");
}

TEST(PageTextTest, OnlyAsciiWithoutNulGoesAsItIs) {
    const std::pair<std::string, bool> rows[] = {
        {"", true},       {"\x01 ~\x7F", true}, {std::string(1, '\0'), false},
        {"a\x80", false}, {"\xFF", false},      {"abc\r\n", true},
    };
    for (const auto& [text, as_it_is] : rows) {
        EXPECT_EQ(IsPageTextAsItIs(text), as_it_is) << text;
        EXPECT_EQ(IsPageTextAsItIs(text), PageTextFromPane(text) == text) << text;
    }
}

// The check goes eight bytes at a time and then byte by byte: one byte that needs changing, at
// every place in words, across their edges and in the tail, beside bytes next to it in value.
TEST(PageTextTest, AByteThatNeedsChangingIsFoundWhereverItIs) {
    const std::pair<char, bool> bytes[] = {
        {'\0', false}, {'\x80', false}, {'\xFF', false}, {'\x01', true}, {'\x7F', true},
    };
    for (const std::size_t size : {1u, 7u, 8u, 9u, 16u, 17u, 23u}) {
        for (const char fill : {'\x01', '\x7F', 'a'}) {
            for (std::size_t at = 0; at < size; ++at) {
                for (const auto& [byte, as_it_is] : bytes) {
                    std::string text(size, fill);
                    text[at] = byte;
                    EXPECT_EQ(IsPageTextAsItIs(text), as_it_is)
                        << "size " << size << ", byte " << int(static_cast<unsigned char>(byte))
                        << " at " << at << " among " << int(fill);
                }
            }
        }
    }
}

}  // namespace
}  // namespace dsf2vemo::web
