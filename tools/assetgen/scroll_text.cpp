// The scroll text: exactly fills its region, ended by its 0 byte.
#include <string>

#include "common/fatal_error.hpp"
#include "content.hpp"

namespace korvale::gen {

using namespace korvale::region;

void writeScrollText(AssetImageBuffer& image) {
    const std::string phrase = "KORVALE BY GLIMMERWAKE    M MUTE    ESC EXIT    ";
    std::string text;
    while (text.size() < scrollText.size() - 1) text += phrase;
    text.resize(scrollText.size() - 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c < firstGlyphCode || c > lastGlyphCode) {
            throw FatalError("scroll text: character " + std::to_string(static_cast<int>(c)) + " has no glyph");
        }
        image.put8(scrollText.first + static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(c));
    }
    image.put8(scrollTextEnd, 0);
}

}  // namespace korvale::gen
