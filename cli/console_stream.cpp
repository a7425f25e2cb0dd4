#include "console_stream.h"

#include <algorithm>

#include "utf8_split.h"
#include "wide_text.h"

namespace dsf2vemo::cli {

ConsoleStreamBuffer::~ConsoleStreamBuffer() {
    sync();
}

ConsoleStreamBuffer::int_type ConsoleStreamBuffer::overflow(int_type ch) {
    if (traits_type::eq_int_type(ch, traits_type::eof())) {
        return traits_type::not_eof(ch);
    }
    pending_.push_back(traits_type::to_char_type(ch));
    if (ch == '\n' && sync() != 0) {
        return traits_type::eof();
    }
    return ch;
}

std::streamsize ConsoleStreamBuffer::xsputn(const char* text, std::streamsize count) {
    pending_.append(text, static_cast<std::size_t>(count));
    return count;
}

int ConsoleStreamBuffer::sync() {
    const std::size_t complete = CompleteUtf8Length(pending_);
    const std::wstring wide =
        WideFromCodePage(CP_UTF8, std::string_view(pending_).substr(0, complete));
    pending_.erase(0, complete);
    std::size_t written = 0;
    while (written < wide.size()) {
        DWORD now = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - written, 8192));
        if (!WriteConsoleW(console_, wide.data() + written, chunk, &now, nullptr) || now == 0) {
            return -1;
        }
        written += now;
    }
    return 0;
}

ConsoleRedirect::ConsoleRedirect(std::ostream& stream, DWORD handle) : stream_(stream) {
    HANDLE console = GetStdHandle(handle);
    DWORD mode = 0;
    if (console != INVALID_HANDLE_VALUE && console != nullptr && GetConsoleMode(console, &mode)) {
        buffer_ = std::make_unique<ConsoleStreamBuffer>(console);
        previous_ = stream_.rdbuf(buffer_.get());
    }
}

ConsoleRedirect::~ConsoleRedirect() {
    if (buffer_) {
        stream_.flush();
        stream_.rdbuf(previous_);
    }
}

}  // namespace dsf2vemo::cli
