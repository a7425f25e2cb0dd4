#pragma once

#include <stdexcept>
#include <string>

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

  private:
    ErrorKind kind_;
};

}  // namespace dsf2vemo
