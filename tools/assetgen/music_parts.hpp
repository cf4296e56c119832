// The two halves of the music section of the generator.
#pragma once

#include "assets/asset_image.hpp"

namespace korvale::gen::music {

// Module header, sample headers, sample data and instrument records.
void writeInstruments(AssetImageBuffer& image);

// Order list, pattern offsets and pattern data.
void writeSongData(AssetImageBuffer& image);

// Output frames the engine advances per source point for `note` at `baseRate`,
// by the engine's own integer arithmetic.
[[nodiscard]] double engineStep(std::uint32_t baseRate, int note);

}  // namespace korvale::gen::music
