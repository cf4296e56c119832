#include "audio/player.hpp"

namespace korvale {

Player::Player(const AssetImage& image) : image_(image) {
    std::uint32_t start = image_.read32(region::sampleDataDistance) + region::moduleHeader.first;
    for (std::uint32_t i = 0; i < instruments.size(); ++i) {
        Instrument& ins = instruments[i];
        const std::uint32_t record = region::instrumentRecords.first + region::instrumentRecordSize * i;
        ins.sampleStart = start;
        ins.length = image_.read32(region::sampleHeaders.first + region::sampleHeaderSize * i);
        ins.loopStart = image_.read32(record + region::instrumentLoopStartOffset);
        ins.end = image_.read32(record + region::instrumentLoopEndOffset);
        ins.looped = (image_.read8(record + region::instrumentFlagsOffset) & region::instrumentLoopedFlag) != 0;
        start += ins.length;
        // A one-shot sound is checked too: the mixer's end test and sample
        // lookup rely on loopStart < end <= length for every instrument.
        if (ins.end > ins.length || ins.loopStart >= ins.end) {
            throw FatalError("Invalid sample bounds");
        }
    }
}

}  // namespace korvale
