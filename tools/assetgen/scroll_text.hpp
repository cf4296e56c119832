// The scroll text and the check that keeps it fitting its region.
#pragma once

#include <string_view>

namespace korvale::gen {

// The text that scrolls, without its 0 byte.
[[nodiscard]] std::string_view scrollMessage();

// Throws FatalError naming the scroll text unless `text` fills the region
// exactly (its 0 byte after it) with characters that have glyphs.
void checkScrollText(std::string_view text);

}  // namespace korvale::gen
