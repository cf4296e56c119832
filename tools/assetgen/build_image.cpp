#include "content.hpp"

#include "common/fatal_error.hpp"

namespace korvale::gen {

AssetImageBuffer buildContentImage() {
    AssetImageBuffer image;
    writeTitlePicture(image);
    writeDisplayTables(image);
    writeFont(image);
    writeScrollText(image);
    writeMusic(image);
    const auto problems = layoutProblems(image.image());
    if (!problems.empty()) {
        std::string text = "The content does not fit the region map:";
        for (const auto& p : problems) text += "\n  " + p;
        throw FatalError(text);
    }
    return image;
}

}  // namespace korvale::gen
