#include "write_output.h"

#include "json_writer.h"
#include "mplus_files.h"
#include "output_target.h"
#include "replacement_file.h"
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

}  // namespace

void WriteTextData(const fs::path& path, const MomentData& data, const Separators& separators) {
    const TextDataWriter writer(data, separators);
    WriteFile(path, [&writer](BlockText& out) { writer.AppendTo(out); });
}

void WriteJson(const fs::path& path, const DsfFile& file) {
    const JsonWriter writer(file);
    WriteFile(path, [&writer](BlockText& out) { writer.AppendTo(out); });
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

std::vector<fs::path> FilesWritten(const fs::path& output, OutputFormat format) {
    if (format == OutputFormat::Mplus) {
        return MplusPairPaths(output);
    }
    return {output};
}

std::optional<fs::path> OutputThatIsInput(const fs::path& input, const fs::path& output,
                                          OutputFormat format) {
    for (const fs::path& written : FilesWritten(output, format)) {
        if (IsSameFile(input, written)) {
            return written;
        }
    }
    return std::nullopt;
}

}  // namespace dsf2vemo
