#include <langinfo.h>
#include <locale.h>

#include "separators.h"

namespace dsf2vemo {

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

}  // namespace dsf2vemo
