#include <windows.h>

#include "separators.h"

namespace dsf2vemo {

std::string GetLocaleString(int item) {
    std::string buffer(100, ' ');
    const int n = GetLocaleInfoA(GetUserDefaultLCID(), static_cast<LCTYPE>(item), buffer.data(),
                                 static_cast<int>(buffer.size()));
    // n counts the terminating NUL; 0 means the query failed.
    if (n <= 1) {
        return {};
    }
    buffer.resize(static_cast<std::size_t>(n - 1));
    return buffer;
}

std::string GetDecimalSeparator() {
    std::string decimal = GetLocaleString(LOCALE_SDECIMAL);
    return decimal.empty() ? std::string(".") : decimal;
}

std::string GetListSeparator() {
    std::string list = GetLocaleString(LOCALE_SLIST);
    return list.empty() ? DefaultListSeparator(GetDecimalSeparator()) : list;
}

}  // namespace dsf2vemo
