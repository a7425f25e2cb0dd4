#include "write_output.h"

#include <fstream>
#include <system_error>

#include "conversion_error.h"
#include "json_writer.h"
#include "message_text.h"
#include "output_target.h"
#include "path_text.h"
#include "replacement_set.h"
#include "text_data_writer.h"

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const FileText& text) {
    CheckOutputTarget(path);
    ReplacementFile file(path);
    BlockText out([&file](std::string_view block) { file.Write(block); });
    text(out);
    out.Finish();
    file.Commit();
}

// The data file's name as the input file holds it: single-byte text in the code page the input
// file is written in (the ANSI code page on Windows).
std::string DataFileNameText(const fs::path& data_file) {
    const std::string name = PathText(data_file.filename());
#ifdef _WIN32
    const std::optional<std::string> text = AnsiFromUtf8(name);
    if (!text) {
        Refuse("the data file's name " + Quoted(name) +
               " holds a character that the ANSI code page (" + std::to_string(AnsiCodePage()) +
               ") of the input file can't hold");
    }
#else
    const std::optional<std::string> text = data_file.filename().native();
#endif
    CheckMplusDataFileName(name);
    return *text;
}

// The data file may be replaced only where it is this program's: it doesn't exist yet, or the
// input file being replaced was written by this program and names it. Any other file of that
// name may be someone's raw data (study.dat beside study.dsf is common).
void CheckDataFileIsOurs(const fs::path& input_file, const fs::path& data_file,
                         std::string_view data_file_name) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(data_file, ec))) {
        return;
    }
    // The lines that tell are the first few; an input file of this program has lines of at most
    // 90 characters.
    std::string start(4096, '\0');
    std::ifstream input(input_file, std::ios::binary);
    input.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(input.gcount()));
    if (!WrittenByThisProgram(start, data_file_name)) {
        Refuse("the data file " + Quoted(PathText(data_file.filename())) +
               " exists already and is not one this program wrote for " +
               Quoted(PathText(input_file.filename())) +
               ", so it stays as it is; choose another output name");
    }
}

}  // namespace

void WriteTextData(const fs::path& path, const MomentData& data, const Separators& separators) {
    const TextDataWriter writer(data, separators);
    WriteFile(path, [&writer](BlockText& out) { writer.AppendTo(out); });
}

void WriteJson(const fs::path& path, const DsfFile& file) {
    const JsonWriter writer(file);
    WriteFile(path, [&writer](BlockText& out) { writer.AppendTo(out); });
}

std::vector<MplusRenaming> WriteMplus(const fs::path& input_file, const DsfFile& file) {
    const MplusWriter writer(file);
    const fs::path data_file = MplusDataPath(input_file);
    if (IsSameFile(data_file, input_file)) {
        Refuse("the input file and the data file would both be \"" + PathText(input_file) +
               "\"; give the output another extension");
    }
    const std::string data_file_name = DataFileNameText(data_file);
    const std::string input_text = writer.InputText(data_file_name);
    ForFile(data_file, [&] { CheckOutputTarget(data_file); });
    ForFile(input_file, [&] { CheckOutputTarget(input_file); });
    ForFile(data_file, [&] { CheckDataFileIsOurs(input_file, data_file, data_file_name); });

    // The data before the input file that names it.
    const fs::path targets[] = {data_file, input_file};
    ReplacementSet files(targets);
    ForFile(data_file, [&] {
        BlockText out([&files](std::string_view block) { files.File(0).Write(block); });
        writer.AppendDataTo(out);
        out.Finish();
    });
    ForFile(input_file, [&] { files.File(1).Write(input_text); });
    files.Commit();
    return writer.Renamings();
}

WriteNotes WriteOutput(const fs::path& output, const DsfFile& file, const Separators& separators,
                       OutputFormat format) {
    WriteNotes notes;
    if (format == OutputFormat::Mplus) {
        const std::vector<MplusRenaming> renamings = WriteMplus(output, file);
        const std::string sentence = RenamingSentence(renamings);
        if (!sentence.empty()) {
            notes.warnings.push_back(sentence);
        }
    } else {
        WriteFile(output, SingleFileWriter(format, file, separators));
    }
    return notes;
}

std::optional<fs::path> OutputThatIsInput(const fs::path& input, const fs::path& output,
                                          OutputFormat format) {
    for (const fs::path& written : OutputFiles(output, format)) {
        if (IsSameFile(input, written)) {
            return written;
        }
    }
    return std::nullopt;
}

}  // namespace dsf2vemo
