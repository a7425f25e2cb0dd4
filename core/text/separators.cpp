#include "separators.h"

namespace dsf2vemo {

std::string DefaultListSeparator(std::string_view decimal_separator) {
    return decimal_separator == "," ? ";" : ",";
}

}  // namespace dsf2vemo
