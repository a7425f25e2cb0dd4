// Loaded into a program under test with LD_PRELOAD: makes chosen calls fail, or raises a signal as
// they begin, so that every failure point of a write can be tried without tracing the program.
// DSF2VEMO_FAIL_CALLS holds injections separated by ";", each "CALLS:ACTION[:when=WHEN]": CALLS
// one or more of fsync, rename, link, write (to descriptors past standard error) and open_folder
// (an open with O_DIRECTORY), separated by ","; ACTION "error=EIO" or "signal=SIGTERM"; WHEN "N"
// (the N-th of those calls, counted together), "N+" (that one and later) or "N..M"; every call
// without one. Nothing allocates: the calls come from signal handlers too.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

struct Injection {
    char calls[64] = {};  // ",fsync,rename,"
    int error = 0;
    int signal = 0;
    long first = 1;
    long last = -1;  // -1: no end
    std::atomic<long> seen{0};
};
Injection injections[8];
int injection_count = 0;

struct Named {
    const char* name;
    int value;
};
constexpr Named kNames[] = {{"EIO", EIO},       {"EPERM", EPERM},     {"ENOSPC", ENOSPC},
                            {"EINTR", EINTR},   {"EINVAL", EINVAL},   {"EACCES", EACCES},
                            {"EEXIST", EEXIST}, {"SIGTERM", SIGTERM}, {"SIGKILL", SIGKILL},
                            {"SIGINT", SIGINT}};

int Value(const char* name, std::size_t length) {
    for (const Named& entry : kNames) {
        if (std::strlen(entry.name) == length && std::strncmp(entry.name, name, length) == 0) {
            return entry.value;
        }
    }
    std::abort();  // a test asked for something this file doesn't know
}

void Parse(const char* text) {
    for (; *text != '\0' && injection_count < 8; text += *text == ';') {
        Injection& injection = injections[injection_count++];
        const std::size_t calls = std::min(std::strcspn(text, ":;"), sizeof injection.calls - 3);
        injection.calls[0] = ',';
        std::memcpy(injection.calls + 1, text, calls);
        injection.calls[calls + 1] = ',';
        for (text += calls; *text == ':';) {
            const char* part = ++text;
            const std::size_t length = std::strcspn(part, ":;");
            text += length;
            const char* value = std::strchr(part, '=') + 1;
            const std::size_t value_length = static_cast<std::size_t>(text - value);
            if (std::strncmp(part, "error=", 6) == 0) {
                injection.error = Value(value, value_length);
            } else if (std::strncmp(part, "signal=", 7) == 0) {
                injection.signal = Value(value, value_length);
            } else {  // when=
                char* rest = nullptr;
                injection.first = injection.last = std::strtol(value, &rest, 10);
                if (*rest == '+' || (rest[0] == '.' && rest[1] == '.')) {
                    injection.last = *rest == '+' ? -1 : std::strtol(rest + 2, nullptr, 10);
                }
            }
        }
    }
}

// The real calls, found before main.
decltype(&::fsync) real_fsync;
decltype(&::rename) real_rename;
decltype(&::link) real_link;
decltype(&::write) real_write;
int (*real_open)(const char*, int, ...);

template <class Function>
void Find(Function& function, const char* name) {
    function = reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
    if (function == nullptr) {
        std::abort();
    }
}

__attribute__((constructor)) void Start() {
    Find(real_fsync, "fsync");
    Find(real_rename, "rename");
    Find(real_link, "link");
    Find(real_write, "write");
    Find(real_open, "open");
    if (const char* text = std::getenv("DSF2VEMO_FAIL_CALLS")) {
        Parse(text);
    }
}

// Whether this call of `call` (",fsync,") fails, errno then set; raises a signal first where
// one is asked for.
bool Fails(const char* call) {
    bool fails = false;
    for (int i = 0; i < injection_count; ++i) {
        Injection& injection = injections[i];
        if (std::strstr(injection.calls, call) == nullptr) {
            continue;
        }
        const long n = ++injection.seen;
        if (n >= injection.first && (injection.last < 0 || n <= injection.last)) {
            if (injection.signal != 0) {
                raise(injection.signal);
            }
            if (injection.error != 0) {
                errno = injection.error;
                fails = true;
            }
        }
    }
    return fails;
}

}  // namespace

extern "C" {

int fsync(int descriptor) {
    return Fails(",fsync,") ? -1 : real_fsync(descriptor);
}

int rename(const char* from, const char* to) {
    return Fails(",rename,") ? -1 : real_rename(from, to);
}

int link(const char* from, const char* to) {
    return Fails(",link,") ? -1 : real_link(from, to);
}

ssize_t write(int descriptor, const void* bytes, size_t size) {
    return descriptor > STDERR_FILENO && Fails(",write,") ? -1
                                                          : real_write(descriptor, bytes, size);
}

// A folder's open (O_TMPFILE carries the O_DIRECTORY bit too, but makes a file).
int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const int mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? va_arg(arguments, int) : 0;
    va_end(arguments);
    const bool folder = (flags & O_TMPFILE) != O_TMPFILE && (flags & O_DIRECTORY) != 0;
    return folder && Fails(",open_folder,") ? -1 : real_open(path, flags, mode);
}

// The same call under its other name, which some callers reach.
int open64(const char* path, int flags, ...) __attribute__((alias("open")));

}  // extern "C"
