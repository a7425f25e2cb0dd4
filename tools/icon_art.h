#pragma once

#include <array>
#include <string_view>

// The program icon, drawn in the classic 16-colour palette: a sheet with a lower-triangular
// matrix of covariances, an arrow, and the text page it becomes. One character per pixel:
//   . transparent  k black  w white  s silver  g grey  b blue  n navy  t teal  r red
namespace dsf2vemo::tools {

// clang-format off
inline constexpr std::array<std::string_view, 32> kIcon32 = {
    "................................",
    "................................",
    "................................",
    "................................",
    ".......................kkkkkk...",
    ".......................kwwwwks..",
    ".......................kwwwwksk.",
    "kkkkkkkkkkkkkkkk.......kwwwwkkkk",
    "kbbbbbbbbbbbbbbkg......kwwwwwwwk",
    "kbbbbbbbbbbbbbbkg......kwgggggwk",
    "kwwwwwwwwwwwwwwkg......kwwwwwwwk",
    "kwnnnwwwwwwwwwwkg......kwwwwwwwk",
    "kwnnnwwwwwwwwwwkg......kwgggwwwk",
    "kwnnnwwwwwwwwwwkg...r..kwwwwwwwk",
    "kwwwwwwwwwwwwwwkg...rr.kwwwwwwwk",
    "kwtttwnnnwwwwwwkgrrrrrrkwgggggwk",
    "kwtttwnnnwwwwwwkgrrrrrrkwwwwwwwk",
    "kwtttwnnnwwwwwwkgrrrrrrkwwwwwwwk",
    "kwwwwwwwwwwwwwwkg...rr.kwgggwwwk",
    "kwtttwtttwnnnwwkg...r..kwwwwwwwk",
    "kwtttwtttwnnnwwkg......kwwwwwwwk",
    "kwtttwtttwnnnwwkg......kwgggggwk",
    "kwwwwwwwwwwwwwwkg......kwwwwwwwk",
    "kwwwwwwwwwwwwwwkg......kwwwwwwwk",
    "kkkkkkkkkkkkkkkkg......kwgggwwwk",
    ".gggggggggggggggg......kwwwwwwwk",
    ".......................kwwwwwwwk",
    ".......................kkkkkkkkk",
    "................................",
    "................................",
    "................................",
    "................................",
};

inline constexpr std::array<std::string_view, 16> kIcon16 = {
    "................",
    "................",
    "................",
    "kkkkkkkk....kkkk",
    "kbbbbbbk....kwwk",
    "kwwwwwwk..r.kggk",
    "knnwwwwk..rrkwwk",
    "kwwwwwwkrrrrkgwk",
    "kttnnwwk..rrkwwk",
    "kwwwwwwk..r.kggk",
    "kttttnnk....kwwk",
    "kwwwwwwk....kgwk",
    "kkkkkkkk....kwwk",
    "............kkkk",
    "................",
    "................",
};
// clang-format on

}  // namespace dsf2vemo::tools
