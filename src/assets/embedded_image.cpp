#include "assets/asset_image.hpp"

namespace korvale {

// Generated at build time from the committed content image; it holds the
// content bytes followed by one zero byte.
extern const std::uint8_t embeddedImageBytes[];

AssetImage AssetImage::embedded() { return AssetImage(embeddedImageBytes); }

}  // namespace korvale
