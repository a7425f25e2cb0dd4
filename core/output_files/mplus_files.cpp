#include "mplus_files.h"

#include <fstream>
#include <optional>
#include <system_error>
#include <vector>

#include "conversion_error.h"
#include "link_chain.h"
#include "mplus_pair.h"
#include "output_format.h"
#include "output_target.h"
#include "path_text.h"
#include "replacement_set.h"

namespace dsf2vemo {

namespace fs = std::filesystem;

namespace {

// What stands where a pair is written: the claim of the existing input file, and what the data
// file is to it.
struct ExistingPair {
    InputFileClaim claim;
    bool named = false;
    std::optional<DataFingerprint> found;
};

// The first `size` bytes of `path`, or fewer where it is shorter; empty where it can't be read.
std::string FileStart(const fs::path& path, std::size_t size) {
    std::string start(size, '\0');
    std::ifstream input(path, std::ios::binary);
    input.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(input.gcount()));
    return start;
}

// The fingerprint of the file at `path`; only its size where that differs from `recorded`, which
// tells enough.
DataFingerprint FingerprintOfFile(const fs::path& path, const DataFingerprint& recorded) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size != recorded.size) {
        return {size, 0};
    }
    FingerprintSum sum;
    std::ifstream input(path, std::ios::binary);
    std::vector<char> block(std::size_t{1} << 20);
    while (input.read(block.data(), static_cast<std::streamsize>(block.size())) ||
           input.gcount() > 0) {
        sum.Add(std::string_view(block.data(), static_cast<std::size_t>(input.gcount())));
    }
    if (!input.eof()) {
        CannotWrite("the data file could not be read to tell whose it is");
    }
    return sum.Result();
}

// `data_file` exists. Whether a name in the input file, taken in its folder, leads to it follows
// the file system's own rules (case, links, other names of one file).
ExistingPair ReadExistingPair(const fs::path& input_file, const fs::path& data_file) {
    const fs::path named_input = FileNamedBy(input_file);
    ExistingPair pair;
    pair.claim = ReadInputFileClaim(FileStart(named_input, kOwnershipBytes));
    if (pair.claim.data_file_name) {
        std::error_code ec;
        const fs::path named =
            named_input.parent_path() / PathFromFileNameText(*pair.claim.data_file_name);
        pair.named = fs::equivalent(named, data_file, ec) && !ec;
    }
    if (pair.named && pair.claim.data) {
        pair.found = FingerprintOfFile(data_file, *pair.claim.data);
    }
    return pair;
}

bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::status(path, ec));
}

void CheckDataFileIsOurs(const fs::path& input_file, const fs::path& data_file) {
    if (!Exists(data_file)) {
        return;
    }
    const ExistingPair pair = ReadExistingPair(input_file, data_file);
    const DataFileOwner owner = OwnerOfDataFile(pair.claim, pair.named, pair.found);
    if (owner != DataFileOwner::ThisProgram) {
        Refuse(WhyDataFileStays(owner, pair.claim, pair.found, PathText(data_file.filename()),
                                PathText(input_file.filename())));
    }
}

fs::path DataFileOf(const fs::path& input_file) {
    return MplusDataPath(FileNamedBy(input_file));
}

}  // namespace

std::vector<fs::path> MplusPairPaths(const fs::path& input_file) {
    return {input_file, DataFileOf(input_file)};
}

std::vector<MplusRenaming> WriteMplus(const fs::path& input_file, const DsfFile& file) {
    const MplusWriter writer(file);
    const fs::path data_file = ForFile(input_file, [&] { return DataFileOf(input_file); });
    if (IsSameFile(data_file, input_file)) {
        Refuse("the input file and the data file would both be \"" + PathText(input_file) +
               "\"; give the output another extension");
    }
    const std::string data_file_name = ForFile(data_file, [&] {
        return DataFileNameText(PathText(data_file.filename()), NativeTextCodePage());
    });
    ForFile(data_file, [&] { CheckOutputTarget(data_file); });
    ForFile(input_file, [&] { CheckOutputTarget(input_file); });
    ForFile(data_file, [&] { CheckDataFileIsOurs(input_file, data_file); });

    // The data before the input file that names it and records its fingerprint.
    const fs::path targets[] = {data_file, input_file};
    ReplacementSet files(targets);
    FingerprintSum data;
    ForFile(data_file, [&] {
        BlockText out([&](std::string_view block) {
            data.Add(block);
            files.File(0).Write(block);
        });
        writer.AppendDataTo(out);
        out.Finish();
    });
    ForFile(input_file, [&] {
        files.File(1).Write(writer.InputText(WrittenByLine(data.Result()), data_file_name));
    });
    files.Commit();
    return writer.Renamings();
}

std::string PartedPairProblem(const fs::path& input_file) {
    const fs::path data_file = DataFileOf(input_file);
    // Only files are read: a pipe would never end.
    std::error_code ec;
    if (!fs::is_regular_file(input_file, ec) || !fs::is_regular_file(data_file, ec)) {
        return {};
    }
    const ExistingPair pair = ReadExistingPair(input_file, data_file);
    if (OwnerOfDataFile(pair.claim, pair.named, pair.found) != DataFileOwner::ChangedSince) {
        return {};
    }
    return PartedPairSentence(*pair.claim.data, *pair.found, PathText(data_file.filename()),
                              PathText(input_file.filename()));
}

}  // namespace dsf2vemo
