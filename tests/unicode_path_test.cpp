#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "cli_app.h"
#include "dsf_builder.h"
#include "dsf_reader.h"
#include "path_text.h"
#include "results_pane.h"
#include "temp_dir.h"
#include "text_data_writer.h"
#include "write_output.h"

// Folders and files named in Greek and Chinese, which no single-byte code page holds: the core
// takes them as paths, the command line as UTF-8 text.
namespace dsf2vemo {
namespace {

namespace fs = std::filesystem;
using testing::BuildDsf;
using testing::DemoMomentData;
using testing::ReadFileText;
using testing::WriteFileBytes;

using testing::kDemoComma;

class UnicodePathTest : public ::testing::Test {
  protected:
    UnicodePathTest() {
        fs::create_directories(Folder());
        WriteFileBytes(Input(), BuildDsf(DemoMomentData(), "DEMO"));
    }

    fs::path Folder() const { return dir_.Path() / fs::path(u8"Δεδομένα_数据"); }
    fs::path Input() const { return Folder() / fs::path(u8"Δείγμα_样本.dsf"); }

    testing::TempDir dir_;
};

TEST_F(UnicodePathTest, CoreReadsAndWritesThroughSuchPaths) {
    TextPane pane;
    const MomentData data = ReadDsf(Input(), pane);
    const fs::path output = Folder() / fs::path(u8"Ἔξοδος_输出.txt");
    WriteTextData(output, data, Separators{});
    EXPECT_EQ(ReadFileText(output), kDemoComma);
    // Nothing but the input and the output: no temporary file left under another name.
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(Folder())) {
        ++files;
    }
    EXPECT_EQ(files, 2U);
}

TEST_F(UnicodePathTest, CommandLineWritesBesideTheInputAndWhereAsked) {
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(cli::Run({PathText(Input())}, {",", "."}, out, err), cli::kExitSuccess) << err.str();
    EXPECT_EQ(ReadFileText(Folder() / fs::path(u8"Δείγμα_样本.txt")), kDemoComma);

    const fs::path elsewhere = dir_.Path() / fs::path(u8"出力_Αποτελέσματα");
    fs::create_directories(elsewhere);
    const fs::path output = elsewhere / fs::path(u8"結果.txt");
    ASSERT_EQ(cli::Run({"-o", PathText(output), PathText(Input())}, {",", "."}, out, err),
              cli::kExitSuccess)
        << err.str();
    EXPECT_EQ(ReadFileText(output), kDemoComma);
}

TEST_F(UnicodePathTest, MessagesNameThePathInUtf8) {
    std::ostringstream out;
    std::ostringstream err;
    const fs::path missing = Folder() / fs::path(u8"不在.dsf");
    EXPECT_EQ(cli::Run({PathText(missing)}, {",", "."}, out, err), cli::kExitConversionFailed);
    EXPECT_NE(err.str().find(PathText(missing)), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("\xE4\xB8\x8D\xE5\x9C\xA8.dsf"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace dsf2vemo
