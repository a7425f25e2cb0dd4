#include "separators.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <langinfo.h>
#include <locale.h>
#endif

namespace dsf2vemo {

std::string DefaultListSeparator(std::string_view decimal_separator) {
    return decimal_separator == "," ? ";" : ",";
}

#ifdef _WIN32

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

#else

std::string GetDecimalSeparator() {
    // A locale object of its own, so the program's global locale stays "C".
    locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (user == static_cast<locale_t>(nullptr)) {
        return ".";
    }
    const char* radix = nl_langinfo_l(RADIXCHAR, user);
    std::string decimal = (radix != nullptr && *radix != '\0') ? radix : ".";
    freelocale(user);
    return decimal;
}

std::string GetListSeparator() {
    return DefaultListSeparator(GetDecimalSeparator());
}

#endif

}  // namespace dsf2vemo
