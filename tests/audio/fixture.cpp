#include "fixture.hpp"

namespace korvale::test {

namespace {

// Integer waveforms only, so the fixture's bytes do not depend on a maths library.
std::vector<std::uint8_t> triangle(std::uint32_t length, std::uint32_t period, int amplitude) {
    std::vector<std::uint8_t> points(length);
    for (std::uint32_t i = 0; i < length; ++i) {
        const int phase = static_cast<int>(i % period);
        const int half = static_cast<int>(period / 2);
        const int rise = phase < half ? phase : static_cast<int>(period) - phase;
        points[i] = static_cast<std::uint8_t>(128 - amplitude + 2 * amplitude * rise / half);
    }
    return points;
}

std::vector<std::uint8_t> noise(std::uint32_t length, std::uint32_t seed) {
    std::vector<std::uint8_t> points(length);
    for (std::uint32_t i = 0; i < length; ++i) {
        seed = seed * 1664525u + 1013904223u;
        // A decaying envelope over the whole sound.
        const int value = static_cast<int>(seed >> 24) - 128;
        points[i] = static_cast<std::uint8_t>(128 + value * static_cast<int>(length - i) / static_cast<int>(length));
    }
    return points;
}

std::vector<std::uint8_t> saw(std::uint32_t length, std::uint32_t period) {
    std::vector<std::uint8_t> points(length);
    for (std::uint32_t i = 0; i < length; ++i) points[i] = static_cast<std::uint8_t>(16 + (i % period) * 224 / period);
    return points;
}

}  // namespace

Fixture songFixture() {
    Fixture f;
    f.setInstrument(0, {.length = 2000, .flags = 2, .baseRate = 8448, .loopStart = 200, .end = 2000});
    f.setInstrument(1, {.length = 3000, .flags = 0, .baseRate = 16000, .loopStart = 0, .end = 3000});
    f.setInstrument(2, {.length = 60, .flags = 3, .baseRate = 22050, .loopStart = 0, .end = 50});
    f.setInstrument(3, {.length = 1500, .flags = 1, .baseRate = 4000, .loopStart = 10, .end = 1000});
    f.setInstrument(4, {.length = 3, .flags = 2, .baseRate = 65535, .loopStart = 1, .end = 3});
    f.setInstrument(5, {.length = 512, .flags = 2, .baseRate = 11025, .loopStart = 256, .end = 512});
    f.setSamples(0, triangle(2000, 40, 100));
    f.setSamples(1, noise(3000, 12345));
    f.setSamples(2, saw(60, 25));
    f.setSamples(3, triangle(1500, 14, 127));
    f.setSamples(4, {0, 255, 0});
    f.setSamples(5, saw(512, 64));

    f.setPattern(0, stream({speed(3), noteOn(0, 48, 12, 2, 0), noteOn(1, 55, 10, 13, 1), noteOn(2, 36, 15, 8, 2),
                            noteOn(12, 60, 7, 0, 5), wait(2), noteOn(3, 30, 9, 15, 3), pan(0, 200), wait(1),
                            volume(1, 5), noteOn(4, 70, 8, 4, 4), noteOn(15, 24, 11, 11, 0), wait(3), volume(2, 0),
                            speed(2), noteOn(5, 83, 6, 7, 5), patternEnd()}));
    f.setPattern(1, stream({noteOn(0, 60, 15, 0, 1), noteOn(6, 12, 4, 9, 0), volume(12, 3), wait(2),
                            noteOn(7, 0, 13, 5, 2), pan(6, 3), noteOn(13, 40, 0, 3, 3), wait(1), volume(6, 15),
                            noteOn(14, 50, 5, 10, 3), wait(4), patternEnd()}));
    f.setPattern(2, stream({speed(4), noteOn(1, 67, 14, 6, 5), noteOn(2, 44, 3, 12, 0), noteOn(3, 52, 15, 1, 1),
                            wait(1), noteOn(0, 50, 2, 14, 2), volume(3, 7), noteOn(8, 79, 15, 15, 4), wait(2),
                            pan(1, 15), noteOn(9, 31, 10, 0, 0), noteOn(10, 64, 12, 8, 3), wait(1), patternEnd()}));
    f.setPattern(3, stream({noteOn(0, 72, 15, 8, 0), noteOn(11, 5, 9, 6, 1), volume(0, 9), wait(1), speed(1),
                            volume(8, 0), noteOn(4, 83, 15, 1, 4), wait(6), speed(3), noteOn(5, 20, 8, 9, 5),
                            wait(2), patternEnd()}));
    f.setOrder({0, 1, 2, 3, 0, 2, 1, 3, 3, 0, 1, 2, 0, 3, 1});
    return f;
}

std::uint64_t fnv1a(const std::vector<StereoFrame>& frames) {
    std::uint64_t hash = 14695981039346656037ull;
    const auto add = [&hash](std::int16_t value) {
        const auto bits = static_cast<std::uint16_t>(value);
        for (const std::uint8_t byte : {static_cast<std::uint8_t>(bits & 0xFF), static_cast<std::uint8_t>(bits >> 8)}) {
            hash = (hash ^ byte) * 1099511628211ull;
        }
    };
    for (const StereoFrame& frame : frames) {
        add(frame.left);
        add(frame.right);
    }
    return hash;
}

}  // namespace korvale::test
