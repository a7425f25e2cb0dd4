#pragma once

#ifdef _WIN32

#include <windows.h>

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace dsf2vemo::cli {

// Where a stream of UTF-8 text goes to a console window: as UTF-16 through WriteConsoleW, so
// names in any script show as they are whatever the console's code page. The handle belongs to
// the process and stays open.
class ConsoleStreamBuffer final : public std::streambuf {
  public:
    explicit ConsoleStreamBuffer(HANDLE console) : console_(console) {}
    ~ConsoleStreamBuffer() override;
    ConsoleStreamBuffer(const ConsoleStreamBuffer&) = delete;
    ConsoleStreamBuffer& operator=(const ConsoleStreamBuffer&) = delete;

  protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

  private:
    HANDLE console_;
    std::string pending_;  // UTF-8 not yet written, perhaps ending inside a character
};

// While it lives, `stream` writes through a ConsoleStreamBuffer if `handle` is a console, and as
// bytes otherwise (a file or a pipe gets the UTF-8 itself).
class ConsoleRedirect {
  public:
    ConsoleRedirect(std::ostream& stream, DWORD handle);
    ~ConsoleRedirect();
    ConsoleRedirect(const ConsoleRedirect&) = delete;
    ConsoleRedirect& operator=(const ConsoleRedirect&) = delete;

  private:
    std::ostream& stream_;
    std::unique_ptr<ConsoleStreamBuffer> buffer_;
    std::streambuf* previous_ = nullptr;
};

}  // namespace dsf2vemo::cli

#endif
