// The page's text and the file's: every byte a file's text can hold comes back from the page as
// that byte; what Windows-1252 can't hold, or isn't UTF-8, doesn't.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "page_text.h"

namespace dsf2vemo::web {
namespace {

TEST(PageTextTest, EveryByteButNulComesBackFromThePage) {
    for (int byte = 1; byte < 256; ++byte) {
        const std::string file_text(1, static_cast<char>(byte));
        EXPECT_EQ(FileTextFromPage(PageTextFromPane(file_text)), file_text) << byte;
    }
    EXPECT_EQ(PageTextFromPane(std::string("A\0B\x80\xE9", 5)), "A\u2400B\u20AC\u00E9");
}

TEST(PageTextTest, TextTheFileCantHoldIsRefused) {
    for (const char* text : {"\u066B", "\u2400", "\xE9", "\xC3", "\xF0\x9F\x98\x80"}) {
        EXPECT_EQ(FileTextFromPage(text), std::nullopt) << text;
    }
    EXPECT_EQ(FileTextFromPage("; \u20AC"), std::optional<std::string>("; \x80"));
}

}  // namespace
}  // namespace dsf2vemo::web
