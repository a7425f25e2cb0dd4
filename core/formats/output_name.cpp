#include "output_name.h"

#include "path_divide.h"

namespace dsf2vemo {

std::string DefaultOutputName(std::string_view input_name, OutputFormat format) {
    BasicPathDivide<char> divide('/');
    divide.Init(input_name);
    return divide.NameOnly() + std::string(FormatExtension(format));
}

}  // namespace dsf2vemo
