// Font picture and glyph offsets. Placeholder: every code gets its own
// framed cell, 10 cells per row of the font picture.
#include "content.hpp"

namespace korvale::gen {

using namespace korvale::region;

void writeFont(AssetImageBuffer& image) {
    for (int code = 32; code <= 90; ++code) {
        const int cell = code - 32;
        const int left = (cell % 10) * 32;
        const int top = (cell / 10) * 25;
        image.put16(glyphOffsets.first + 2 * static_cast<std::uint32_t>(cell),
                    static_cast<std::uint16_t>(top * 320 + left));
        if (code == 32) continue;
        for (int y = 2; y < 23; ++y) {
            for (int x = 2; x < 30; ++x) {
                const bool edge = y < 5 || y > 19 || x < 5 || x > 26;
                const bool mark = ((x + y + code) % 7) == 0;
                if (edge || mark) {
                    image.put8(fontPicture.first + static_cast<std::uint32_t>((top + y) * 320 + left + x), 191);
                }
            }
        }
    }
}

}  // namespace korvale::gen
