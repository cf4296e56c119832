// The scroller's font: every cell is a 32 x 25 piece of a dark glass ribbon
// with a gold letter on it, so that the cells join into one band. The strip
// shows colour 0 above glyph row 0 and drops glyph row 24, so the ribbon is
// framed by a dark line (colour 0), a light rim (row 0) ... a light rim
// (row 22) and a dark line (row 23).
#include "art.hpp"
#include "content.hpp"

namespace korvale::gen {

using namespace korvale::region;

namespace {

constexpr int cellWidth = 32;
constexpr int cellHeight = 25;
constexpr int cellsPerRow = 10;

// Entries inside the font's share of the palette.
constexpr int rimTop = ink::fontFirst;
constexpr int rimBottom = ink::fontFirst + 1;
constexpr int glassFirst = ink::fontFirst + 2;  // 7 shades of the ribbon's inside
constexpr int glassCount = 7;
constexpr int goldFirst = glassFirst + glassCount;  // 10 letter shades, top to bottom
constexpr int goldCount = 10;
constexpr int bevelLight = goldFirst + goldCount;  // 2: upper and lower half
constexpr int bevelDark = bevelLight + 2;          // 2
constexpr int outline = bevelDark + 2;
constexpr int shadowFirst = outline + 1;  // 2: shadow on the upper and lower glass
static_assert(shadowFirst + 2 <= ink::fontFirst + ink::fontCount);

// Letter rows: the pen covers rows inkTop .. inkTop + inkHeight - 1.
constexpr int inkTop = 3;
constexpr double inkHeight = 17.0;
constexpr double pen = 3.4;
constexpr double unitY = (inkHeight - pen) / 10.0;
constexpr double unitX = 2.4;

// The glass shade of ribbon row r (1-21): a sheen near the top, darkest
// below the middle.
double glassShade(int r) {
    const double t = (r - 1) / 20.0;
    const double sheen = t < 0.25 ? 1.0 - t / 0.25 : 0.0;
    const double floor = t > 0.7 ? (t - 0.7) / 0.3 * 0.35 : 0.0;
    const double v = 0.15 + 0.85 * sheen + floor;
    return v > 1.0 ? 1.0 : v;
}

int ribbonIndex(int x, int r) {
    if (r == 0) return rimTop;
    if (r == 22) return rimBottom;
    if (r >= 23) return ink::ribbonEdge;
    return glassFirst + ditheredShade(glassShade(r), glassCount, x, r);
}

void drawCell(AssetImageBuffer& image, int code, int left, int top) {
    InkMask mask(cellWidth, cellHeight);
    const double width = InkMask::advance(code, unitX, pen);
    const int x = static_cast<int>((cellWidth - width) / 2.0 + 0.5);
    mask.draw(code, x, inkTop, unitX, unitY, pen);
    for (int r = 0; r < cellHeight; ++r) {
        for (int c = 0; c < cellWidth; ++c) {
            int index = ribbonIndex(left + c, r);
            if (r >= 1 && r <= 21) {
                const bool inkHere = mask.at(c, r);
                bool near = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) near = near || mask.at(c + dx, r + dy);
                if (inkHere) {
                    const double t = (r - inkTop) / (inkHeight - 1.0);
                    index = goldFirst + ditheredShade(t, goldCount, c, r);
                    if (!mask.at(c - 1, r - 1)) index = bevelLight + (t > 0.5 ? 1 : 0);
                    else if (!mask.at(c + 1, r + 1)) index = bevelDark + (t > 0.5 ? 1 : 0);
                } else if (near) {
                    index = outline;
                } else if (mask.at(c - 2, r - 2) || mask.at(c - 1, r - 2) || mask.at(c - 2, r - 1)) {
                    index = shadowFirst + (r > 11 ? 1 : 0);
                }
            }
            image.put8(fontPicture.first + static_cast<std::uint32_t>((top + r) * 320 + left + c),
                       static_cast<std::uint8_t>(index));
        }
    }
}

}  // namespace

void fontColours(Palette& palette) {
    palette[ink::ribbonEdge] = {2, 2, 9};
    palette[rimTop] = {34, 40, 56};
    palette[rimBottom] = {20, 24, 42};
    const Rgb deep{2, 1, 8};
    const Rgb sheen{11, 9, 26};
    for (int i = 0; i < glassCount; ++i) palette[glassFirst + i] = mix(deep, sheen, i / (glassCount - 1.0));
    // Gold with a dark band just below the middle, like polished metal
    // reflecting a horizon.
    const Rgb stops[5] = {{63, 63, 52}, {63, 50, 18}, {40, 18, 4}, {56, 32, 8}, {63, 54, 26}};
    const double at[5] = {0.0, 0.46, 0.54, 0.62, 1.0};
    for (int i = 0; i < goldCount; ++i) {
        const double t = i / (goldCount - 1.0);
        int k = 0;
        while (k < 3 && t > at[k + 1]) ++k;
        palette[goldFirst + i] = mix(stops[k], stops[k + 1], (t - at[k]) / (at[k + 1] - at[k]));
    }
    palette[bevelLight] = {63, 63, 60};
    palette[bevelLight + 1] = {63, 58, 36};
    palette[bevelDark] = {42, 26, 6};
    palette[bevelDark + 1] = {34, 16, 3};
    palette[outline] = {1, 1, 4};
    palette[shadowFirst] = {3, 3, 10};
    palette[shadowFirst + 1] = {2, 2, 8};
}

void writeFont(AssetImageBuffer& image) {
    // Cells in code order, 10 to a row; "Z" has no place in the text and
    // shares the blank cell of the space.
    for (int code = firstGlyphCode; code <= lastGlyphCode + 1; ++code) {
        const int cell = code <= lastGlyphCode ? code - firstGlyphCode : 0;
        const int left = (cell % cellsPerRow) * cellWidth;
        const int top = (cell / cellsPerRow) * cellHeight;
        image.put16(glyphOffsets.first + 2 * static_cast<std::uint32_t>(code - firstGlyphCode),
                    static_cast<std::uint16_t>(top * 320 + left));
        if (code <= lastGlyphCode) drawCell(image, code, left, top);
    }
}

}  // namespace korvale::gen
