// The content generator: every byte of the content image is made here.
#pragma once

#include <string>
#include <vector>

#include "assets/asset_image.hpp"

namespace korvale::gen {

// The whole image, checked against the region map. Throws FatalError naming
// the region when some content does not fit.
[[nodiscard]] AssetImageBuffer buildContentImage();

// Each section writes only its own regions.
void writeTitlePicture(AssetImageBuffer& image);   // title picture and palette
void writeDisplayTables(AssetImageBuffer& image);  // lights, palette animation, wave
void writeFont(AssetImageBuffer& image);           // font picture and glyph offsets
void writeScrollText(AssetImageBuffer& image);     // scroll text and its 0 byte
void writeMusic(AssetImageBuffer& image);          // module header, samples, instruments, song

// Every way in which the image breaks the region map, one line each.
[[nodiscard]] std::vector<std::string> layoutProblems(const AssetImage& image);

}  // namespace korvale::gen
