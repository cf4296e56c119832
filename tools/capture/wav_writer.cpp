#include "wav_writer.hpp"

#include <array>

namespace korvale::capture {
namespace {

constexpr std::size_t headerBytes = 44;

void put16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::uint8_t* at, std::uint32_t value) {
    put16(at, value);
    put16(at + 2, value >> 16);
}

void putTag(std::uint8_t* at, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(tag[i]);
}

std::array<std::uint8_t, headerBytes> header(std::uint64_t frames) {
    const auto dataBytes = static_cast<std::uint32_t>(frames * 4);
    std::array<std::uint8_t, headerBytes> h{};
    putTag(&h[0], "RIFF");
    put32(&h[4], 36 + dataBytes);
    putTag(&h[8], "WAVE");
    putTag(&h[12], "fmt ");
    put32(&h[16], 16);  // format chunk size
    put16(&h[20], 1);   // PCM
    put16(&h[22], 2);   // channels
    put32(&h[24], outputRate);
    put32(&h[28], outputRate * 4);  // bytes per second
    put16(&h[32], 4);               // bytes per frame
    put16(&h[34], 16);              // bits per sample
    putTag(&h[36], "data");
    put32(&h[40], dataBytes);
    return h;
}

}  // namespace

WavWriter::WavWriter(std::filesystem::path path) : file_(std::move(path)) {
    file_.write(header(0));
}

void WavWriter::write(std::span<const StereoFrame> frames) {
    if (frames.size() > wavMaxFrames - frames_) {
        throw OutputError("too much sound for a WAV file: " + file_.finalPath().string());
    }
    // Little-endian whatever the machine, in chunks so a long call needs no
    // large buffer.
    std::array<std::uint8_t, 4096> bytes{};
    std::size_t used = 0;
    for (const StereoFrame& frame : frames) {
        put16(&bytes[used], static_cast<std::uint16_t>(frame.left));
        put16(&bytes[used + 2], static_cast<std::uint16_t>(frame.right));
        used += 4;
        if (used == bytes.size()) {
            file_.write(bytes);
            used = 0;
        }
    }
    file_.write(std::span(bytes).first(used));
    frames_ += frames.size();
}

void WavWriter::finish() {
    file_.overwrite(0, header(frames_));
    file_.commit();
}

}  // namespace korvale::capture
