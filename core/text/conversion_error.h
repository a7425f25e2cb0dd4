#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>

namespace dsf2vemo {

enum class ErrorKind {
    CannotOpen,   // the input can't be opened or read
    TooShort,     // the input ends before what its header declares
    BadValue,     // a field holds a value no data system file can have
    Unsupported,  // a valid-looking value beyond what the converter handles
    Refused,      // writing would produce a file that reads back wrongly, or destroy a file
    CannotWrite,  // the output can't be created, written or put in place
    OutOfMemory,  // the data don't fit in the memory the process may use
};

// The one error type of the converter: a kind for callers that branch on it and a description
// that says what was wrong, with the numbers.
class ConversionError : public std::runtime_error {
  public:
    ConversionError(ErrorKind kind, const std::string& description)
        : std::runtime_error(description), kind_(kind) {}

    ErrorKind Kind() const { return kind_; }

    // The file the failure concerns, where a conversion writes more than one (Mplus writes a data
    // file beside the output named); empty where it is the file the caller named.
    const std::filesystem::path& File() const { return file_; }
    // Names the file, unless a step closer to the failure named one already.
    void ConcernsFile(const std::filesystem::path& file) {
        if (file_.empty()) {
            file_ = file;
        }
    }

  private:
    ErrorKind kind_;
    std::filesystem::path file_;
};

// Runs one step about `file`: a ConversionError it throws names that file.
template <class Step>
decltype(auto) ForFile(const std::filesystem::path& file, Step&& step) {
    try {
        return step();
    } catch (ConversionError& error) {
        error.ConcernsFile(file);
        throw;
    }
}

// The two failures every writer has words for: a file that would read back wrongly or destroy
// one (Refused), and a file system that won't take the bytes (CannotWrite).
[[noreturn]] inline void Refuse(const std::string& description) {
    throw ConversionError(ErrorKind::Refused, description);
}
[[noreturn]] inline void CannotWrite(const std::string& description) {
    throw ConversionError(ErrorKind::CannotWrite, description);
}

}  // namespace dsf2vemo
