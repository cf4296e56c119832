// The program's icon: one picture drawn at every size Windows asks for, each
// size a 32-bit PNG, all of them in one .ico file (resource 101 of the
// Windows program).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace korvale::gen {

inline constexpr std::array<int, 7> iconSizes = {16, 24, 32, 48, 64, 128, 256};

// size x size pixels, rows top to bottom, bytes red, green, blue, alpha
// (straight, not premultiplied).
[[nodiscard]] std::vector<std::uint8_t> drawIcon(int size);

// A truecolour-with-alpha PNG of `rgba`. Throws FatalError when the encoder
// fails.
[[nodiscard]] std::vector<std::uint8_t> encodePng(const std::vector<std::uint8_t>& rgba, int size);

// The .ico file: its directory, then one PNG per size, smallest first.
[[nodiscard]] std::vector<std::uint8_t> buildIconFile();

}  // namespace korvale::gen
