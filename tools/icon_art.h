#pragma once

#include <array>
#include <string_view>

// The icons, drawn in the classic 16-colour palette. One character per pixel:
//   . transparent  k black  w white  s silver  g grey  b blue  n navy  t teal  r red  y yellow
// The program icon: a sheet with a lower-triangular matrix of covariances, an arrow, and the
// text page it becomes.
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
// The about box's icon: a small path diagram, an ellipse joined by lines to three boxes, each
// with a small circle under it.
inline constexpr std::array<std::string_view, 32> kAboutIcon32 = {
    "................................",
    "............kkkkkkk.............",
    "..........kkyyyyyyykk...........",
    ".........kyyyyyyyyyyyk..........",
    "........kyyyyyyyyyyyyyk.........",
    "........kyyyyyyyyyyyyyk.........",
    ".........kyyyyyyyyyyyk..........",
    "..........kkyyyyyyykk...........",
    "............kkkkkkk.............",
    "..........k....k....k...........",
    ".........k.....k.....k..........",
    "........k......k......k.........",
    ".......k.......k.......k........",
    "......k........k........k.......",
    ".....k.........k.........k......",
    "....k..........k..........k.....",
    ".kkkkkkk....kkkkkkk....kkkkkkk..",
    ".kyyyyyk....kyyyyyk....kyyyyyk..",
    ".kyyyyyk....kyyyyyk....kyyyyyk..",
    ".kyyyyyk....kyyyyyk....kyyyyyk..",
    ".kyyyyyk....kyyyyyk....kyyyyyk..",
    ".kkkkkkk....kkkkkkk....kkkkkkk..",
    "....k..........k..........k.....",
    "....k..........k..........k.....",
    "...kkk........kkk........kkk....",
    "..kyyyk......kyyyk......kyyyk...",
    "..kyyyk......kyyyk......kyyyk...",
    "..kyyyk......kyyyk......kyyyk...",
    "...kkk........kkk........kkk....",
    "................................",
    "................................",
    "................................",
};

inline constexpr std::array<std::string_view, 16> kAboutIcon16 = {
    "................",
    ".....kkkkkk.....",
    "....kyyyyyyk....",
    "....kyyyyyyk....",
    ".....kkkkkk.....",
    "....k..k...k....",
    "...k...k....k...",
    "..k....k.....k..",
    "kkkk..kkkk..kkkk",
    "kyyk..kyyk..kyyk",
    "kyyk..kyyk..kyyk",
    "kkkk..kkkk..kkkk",
    "..k....k.....k..",
    "..k....k.....k..",
    ".kyk..kyk...kyk.",
    "..k....k.....k..",
};
// clang-format on

}  // namespace dsf2vemo::tools
