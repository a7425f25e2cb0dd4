// Writes an icon drawn in icon_art.h: 32x32 and 16x16 images, 4 bits per pixel. "dsf2vemo" is
// the program icon (resources/dsf2vemo.ico), "about" the about box's (resources/about.ico).
//   make_icon dsf2vemo|about OUTPUT.ico
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "icon_art.h"

namespace {

struct Rgb {
    std::uint8_t red, green, blue;
};

// The classic 16-colour palette, in its usual order.
constexpr std::array<Rgb, 16> kPalette = {{{0x00, 0x00, 0x00},
                                           {0x80, 0x00, 0x00},
                                           {0x00, 0x80, 0x00},
                                           {0x80, 0x80, 0x00},
                                           {0x00, 0x00, 0x80},
                                           {0x80, 0x00, 0x80},
                                           {0x00, 0x80, 0x80},
                                           {0xC0, 0xC0, 0xC0},
                                           {0x80, 0x80, 0x80},
                                           {0xFF, 0x00, 0x00},
                                           {0x00, 0xFF, 0x00},
                                           {0xFF, 0xFF, 0x00},
                                           {0x00, 0x00, 0xFF},
                                           {0xFF, 0x00, 0xFF},
                                           {0x00, 0xFF, 0xFF},
                                           {0xFF, 0xFF, 0xFF}}};

constexpr int kTransparent = -1;

// The palette index of an art character; kTransparent for '.'.
int ColourOf(char pixel) {
    switch (pixel) {
        case '.':
            return kTransparent;
        case 'k':
            return 0;
        case 'n':
            return 4;
        case 't':
            return 6;
        case 's':
            return 7;
        case 'g':
            return 8;
        case 'r':
            return 9;
        case 'y':
            return 11;
        case 'b':
            return 12;
        case 'w':
            return 15;
        default:
            std::cerr << "make_icon: no colour for '" << pixel << "'\n";
            std::exit(1);
    }
}

class Bytes {
  public:
    void U8(std::uint32_t value) { bytes_.push_back(static_cast<std::uint8_t>(value)); }
    void U16(std::uint32_t value) {
        U8(value & 0xFF);
        U8(value >> 8);
    }
    void U32(std::uint32_t value) {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }
    void Append(const std::vector<std::uint8_t>& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
    }
    const std::vector<std::uint8_t>& Data() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

std::size_t RowBytes(std::size_t bits) {
    return (bits + 31) / 32 * 4;  // rows are padded to 32 bits
}

// One icon image: BITMAPINFOHEADER (height doubled for the mask), palette, colour pixels and the
// transparency mask, rows from the bottom up.
std::vector<std::uint8_t> EncodeImage(std::span<const std::string_view> art) {
    const std::size_t size = art.size();
    const std::size_t colour_row = RowBytes(size * 4);
    const std::size_t mask_row = RowBytes(size);
    Bytes out;
    out.U32(40);
    out.U32(static_cast<std::uint32_t>(size));
    out.U32(static_cast<std::uint32_t>(size * 2));
    out.U16(1);  // planes
    out.U16(4);  // bits per pixel
    out.U32(0);  // no compression
    out.U32(static_cast<std::uint32_t>((colour_row + mask_row) * size));
    for (int i = 0; i < 4; ++i) {
        out.U32(0);  // resolution and colour counts: the defaults
    }
    for (const Rgb& colour : kPalette) {
        out.U8(colour.blue);
        out.U8(colour.green);
        out.U8(colour.red);
        out.U8(0);
    }
    std::vector<std::uint8_t> colours;
    std::vector<std::uint8_t> mask;
    for (std::size_t row = size; row-- > 0;) {
        if (art[row].size() != size) {
            std::cerr << "make_icon: row " << row << " of the " << size << "-pixel art has "
                      << art[row].size() << " pixels\n";
            std::exit(1);
        }
        std::vector<std::uint8_t> colour_bytes(colour_row, 0);
        std::vector<std::uint8_t> mask_bytes(mask_row, 0);
        for (std::size_t x = 0; x < size; ++x) {
            const int colour = ColourOf(art[row][x]);
            if (colour == kTransparent) {
                mask_bytes[x / 8] =
                    static_cast<std::uint8_t>(mask_bytes[x / 8] | (0x80 >> (x % 8)));
            } else {
                const unsigned shift = x % 2 == 0 ? 4 : 0;
                colour_bytes[x / 2] =
                    static_cast<std::uint8_t>(colour_bytes[x / 2] | (colour << shift));
            }
        }
        colours.insert(colours.end(), colour_bytes.begin(), colour_bytes.end());
        mask.insert(mask.end(), mask_bytes.begin(), mask_bytes.end());
    }
    out.Append(colours);
    out.Append(mask);
    return out.Data();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view which = argc == 3 ? argv[1] : "";
    if (which != "dsf2vemo" && which != "about") {
        std::cerr << "usage: make_icon dsf2vemo|about OUTPUT.ico\n";
        return 2;
    }
    namespace art = dsf2vemo::tools;
    const std::vector<std::vector<std::uint8_t>> images =
        which == "about"
            ? std::vector{EncodeImage(art::kAboutIcon32), EncodeImage(art::kAboutIcon16)}
            : std::vector{EncodeImage(art::kIcon32), EncodeImage(art::kIcon16)};
    const char* const output = argv[2];
    const std::array<std::uint32_t, 2> sizes = {32, 16};

    Bytes file;
    file.U16(0);  // reserved
    file.U16(1);  // an icon, not a cursor
    file.U16(static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        file.U8(sizes[i]);
        file.U8(sizes[i]);
        file.U8(16);  // colours
        file.U8(0);
        file.U16(1);  // planes
        file.U16(4);  // bits per pixel
        file.U32(static_cast<std::uint32_t>(images[i].size()));
        file.U32(offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images) {
        file.Append(image);
    }

    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.Data().data()),
              static_cast<std::streamsize>(file.Data().size()));
    out.close();
    if (!out) {
        std::cerr << "make_icon: cannot write " << output << '\n';
        return 1;
    }
    return 0;
}
