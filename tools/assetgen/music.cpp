// The music section of the content: instruments (music_instruments.cpp) and
// the song (music_song.cpp, written with song_builder.hpp).
#include "content.hpp"
#include "music_parts.hpp"

namespace korvale::gen {

void writeMusic(AssetImageBuffer& image) {
    music::writeInstruments(image);
    music::writeSongData(image);
}

}  // namespace korvale::gen
