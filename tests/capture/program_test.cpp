// korvale-capture run as a user runs it: files, exit codes, messages.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "capture.hpp"
#include "capture_fixtures.hpp"
#include "rgb24.hpp"

extern char** environ;

namespace korvale::capture {
namespace {

namespace fs = std::filesystem;

struct Result {
    int exitCode = -1;
    std::string err;
};

std::string readText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> readBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint16_t le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

bool ffmpegInstalled() {
    return std::system("ffmpeg -version >/dev/null 2>&1 && ffprobe -version >/dev/null 2>&1") == 0;
}

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / ("korvale-capture-" + std::to_string(getpid()) + "-" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~ProgramTest() override { fs::remove_all(dir); }

    // Runs the program with `arguments`; `path` replaces PATH when given.
    Result run(const std::vector<std::string>& arguments, const char* path = nullptr) const {
        std::vector<std::string> all{KORVALE_CAPTURE_PROGRAM};
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);

        std::vector<std::string> environment;
        for (char** e = environ; *e != nullptr; ++e) {
            if (path == nullptr || std::string_view(*e).substr(0, 5) != "PATH=") environment.emplace_back(*e);
        }
        if (path != nullptr) environment.push_back(std::string("PATH=") + path);
        std::vector<char*> envp;
        for (std::string& e : environment) envp.push_back(e.data());
        envp.push_back(nullptr);

        const fs::path errPath = dir / "stderr.txt";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        Result result;
        if (spawned != 0) return result;
        int status = 0;
        waitpid(pid, &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.err = readText(errPath);
        fs::remove(errPath);
        return result;
    }

    // Files left in the test directory whose names mark them unfinished.
    std::vector<std::string> partialFiles() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            if (name.find(".partial") != std::string::npos || name.find(".video-only") != std::string::npos ||
                name.find(".sound.wav") != std::string::npos) {
                found.push_back(name);
            }
        }
        return found;
    }

    fs::path dir;
};

Rgb24Frame decodePng(const fs::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Rgb24Frame pixels{};
    EXPECT_NE(png_image_begin_read_from_file(&image, path.c_str()), 0) << path;
    EXPECT_EQ(image.width, static_cast<png_uint_32>(screenWidth));
    EXPECT_EQ(image.height, static_cast<png_uint_32>(screenHeight));
    image.format = PNG_FORMAT_RGB;
    EXPECT_NE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr), 0) << path;
    return pixels;
}

// Two runs give the same bytes in every output; the outputs agree with each
// other and with the capture library.
TEST_F(ProgramTest, RepeatedRunsWriteIdenticalFiles) {
    for (const char* run_name : {"a", "b"}) {
        const fs::path out = dir / run_name;
        const Result result = run({"--seconds", "2", "--wav", (out.string() + ".wav"), "--raw-frames",
                                   (out.string() + ".raw"), "--png", (out.string() + "-png")});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "") << "stderr is not a terminal, so nothing is printed";
    }
    EXPECT_TRUE(partialFiles().empty());
    const auto wav = readBytes(dir / "a.wav");
    const auto raw = readBytes(dir / "a.raw");
    EXPECT_EQ(wav, readBytes(dir / "b.wav"));
    EXPECT_EQ(raw, readBytes(dir / "b.raw"));

    ASSERT_EQ(wav.size(), 44u + 2 * 48000 * 4);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(le32(wav, 4), wav.size() - 8);
    EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le32(wav, 16), 16u);
    EXPECT_EQ(le16(wav, 20), 1);       // PCM
    EXPECT_EQ(le16(wav, 22), 2);       // channels
    EXPECT_EQ(le32(wav, 24), 48000u);  // rate
    EXPECT_EQ(le32(wav, 28), 192000u);
    EXPECT_EQ(le16(wav, 32), 4);
    EXPECT_EQ(le16(wav, 34), 16);
    EXPECT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
    EXPECT_EQ(le32(wav, 40), 2u * 48000 * 4);

    // The library's capture of the same length, for the sound and frames.
    auto sink = std::make_unique<testing::RecordingSink>();
    Capture capture(AssetImage::embedded(), 2 * outputRate);
    testing::runToEnd(capture, *sink);
    ASSERT_EQ(sink->sound.size(), 96000u);
    for (std::size_t i = 0; i < sink->sound.size(); i += 997) {
        ASSERT_EQ(static_cast<std::int16_t>(le16(wav, 44 + 4 * i)), sink->sound[i].left) << i;
        ASSERT_EQ(static_cast<std::int16_t>(le16(wav, 46 + 4 * i)), sink->sound[i].right) << i;
    }
    ASSERT_EQ(raw.size(), 120 * rgb24FrameBytes);
    auto expected = std::make_unique<Rgb24Frame>();
    for (std::size_t k = 0; k < 120; ++k) {
        toRgb24(*sink->frames[k], *expected);
        ASSERT_TRUE(std::equal(expected->begin(), expected->end(), raw.begin() + k * rgb24FrameBytes)) << k;
    }

    std::size_t pngs = 0;
    for (const auto& entry : fs::directory_iterator(dir / "a-png")) {
        static_cast<void>(entry);
        ++pngs;
    }
    EXPECT_EQ(pngs, 120u);
    for (std::size_t k : {0u, 77u, 119u}) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06zu.png", k);
        const Rgb24Frame decoded = decodePng(dir / "a-png" / name);
        EXPECT_TRUE(std::equal(decoded.begin(), decoded.end(), raw.begin() + k * rgb24FrameBytes)) << name;
        EXPECT_EQ(readBytes(dir / "a-png" / name), readBytes(dir / "b-png" / name)) << name;
    }
}

// Another content image: the title palette turned to its complement shows in
// frame 0, which is the title picture with every light at 15.
TEST_F(ProgramTest, RendersAnotherContentImage) {
    auto buffer = std::make_unique<AssetImageBuffer>(AssetImage::embedded().bytes());
    for (std::uint32_t a = region::titlePalette.first; a <= region::titlePalette.last; ++a) {
        buffer->put8(a, static_cast<std::uint8_t>(63 - buffer->get8(a)));
    }
    writeBytes(dir / "other.img", buffer->content());

    const Result result = run(
        {"--seconds", "0.5", "--image", (dir / "other.img").string(), "--raw-frames", (dir / "other.raw").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto raw = readBytes(dir / "other.raw");
    ASSERT_EQ(raw.size(), 30 * rgb24FrameBytes);

    auto vga = std::make_unique<VgaState>(buffer->image());
    vga->drawTitlePicture();
    vga->updateLights(initialChannelLevels);
    vga->convertFrame();
    auto expected = std::make_unique<Rgb24Frame>();
    toRgb24(vga->frame, *expected);
    EXPECT_TRUE(std::equal(expected->begin(), expected->end(), raw.begin()));

    auto plain = std::make_unique<VgaState>(AssetImage::embedded());
    plain->drawTitlePicture();
    plain->updateLights(initialChannelLevels);
    plain->convertFrame();
    toRgb24(plain->frame, *expected);
    EXPECT_FALSE(std::equal(expected->begin(), expected->end(), raw.begin())) << "the embedded image was used";
}

TEST_F(ProgramTest, RefusesAContentImageOfTheWrongSize) {
    const std::vector<std::uint8_t> tooShort(region::imageSize - 1, 0);
    writeBytes(dir / "short.img", tooShort);
    Result result = run({"--image", (dir / "short.img").string(), "--wav", (dir / "out.wav").string()});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("435600 bytes"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("exactly 435601 bytes"), std::string::npos) << result.err;

    result = run({"--image", (dir / "missing.img").string()});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("missing.img"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(dir / "out.wav"));
}

TEST_F(ProgramTest, BadArgumentsShowTheUsage) {
    const std::vector<std::vector<std::string>> cases{
        {"--seconds", "0"},
        {"--seconds", "-1"},
        {"--seconds", "ten"},
        {"--seconds", "1e9"},
        {"--seconds", "nan"},
        {"--scale", "0"},
        {"--scale", "17"},
        {"--scale", "2x"},
        {"--wav"},
        {"--frobnicate"},
        {"extra"},
        {"--png="},
    };
    for (const auto& arguments : cases) {
        const Result result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments[0];
        EXPECT_NE(result.err.find("Usage: korvale-capture"), std::string::npos) << arguments[0];
    }
}

TEST_F(ProgramTest, DumpsTheEmbeddedImage) {
    const Result result = run({"--dump-image", (dir / "content.img").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto bytes = readBytes(dir / "content.img");
    const auto embedded = AssetImage::embedded().bytes();
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), embedded.begin(), embedded.end()));
}

// The scene fails on the content within the first two seconds: the message, exit
// code 1, and complete files holding what was captured until then.
TEST_F(ProgramTest, ContentFailureKeepsWhatWasCaptured) {
    const auto image = testing::imageWithInvalidGlyph();
    writeBytes(dir / "bad.img", image->content());
    const Result result = run({"--seconds", "5", "--image", (dir / "bad.img").string(), "--wav",
                               (dir / "bad.wav").string(), "--raw-frames", (dir / "bad.raw").string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Invalid glyph"), std::string::npos) << result.err;
    EXPECT_TRUE(partialFiles().empty());

    const auto wav = readBytes(dir / "bad.wav");
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(le32(wav, 4), wav.size() - 8);
    EXPECT_EQ(le32(wav, 40), wav.size() - 44);
    const std::size_t soundFrames = (wav.size() - 44) / 4;
    const std::size_t frames = readBytes(dir / "bad.raw").size() / rgb24FrameBytes;
    EXPECT_GT(frames, 0u);
    EXPECT_LT(frames, 120u);
    EXPECT_GE(soundFrames, frames * framesPerPresentation + queuedFrames);
    EXPECT_LT(soundFrames, 5u * 48000);
}

TEST_F(ProgramTest, VideoNeedsFfmpeg) {
    const fs::path empty = dir / "empty-path";
    fs::create_directories(empty);
    const Result result =
        run({"--seconds", "1", "--video", (dir / "v.mp4").string(), "--wav", (dir / "v.wav").string()}, empty.c_str());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("ffmpeg was not found"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(dir / "v.mp4"));
    EXPECT_FALSE(fs::exists(dir / "v.wav"));
    EXPECT_TRUE(partialFiles().empty());
}

std::string probe(const fs::path& file, const std::string& stream, const std::string& entries) {
    const std::string command = "ffprobe -v error -count_frames -select_streams " + stream +
                                " -show_entries stream=" + entries + " -of default=noprint_wrappers=1 '" +
                                file.string() + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    char buffer[256];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) out += buffer;
    return out;
}

TEST_F(ProgramTest, VideoOfOneSecond) {
    if (!ffmpegInstalled()) GTEST_SKIP() << "ffmpeg is not installed";
    const fs::path video = dir / "one.mp4";
    const Result result = run({"--seconds", "1", "--video", video.string(), "--scale", "2"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(partialFiles().empty());
    const std::string v =
        probe(video, "v:0", "codec_name,width,height,display_aspect_ratio,r_frame_rate,nb_read_frames");
    EXPECT_NE(v.find("codec_name=h264"), std::string::npos) << v;
    EXPECT_NE(v.find("width=640\n"), std::string::npos) << v;
    EXPECT_NE(v.find("height=400\n"), std::string::npos) << v;
    EXPECT_NE(v.find("display_aspect_ratio=4:3"), std::string::npos) << v;
    EXPECT_NE(v.find("r_frame_rate=60/1"), std::string::npos) << v;
    EXPECT_NE(v.find("nb_read_frames=60\n"), std::string::npos) << v;
    const std::string a = probe(video, "a:0", "codec_name,sample_rate,channels");
    EXPECT_NE(a.find("codec_name=aac"), std::string::npos) << a;
    EXPECT_NE(a.find("sample_rate=48000"), std::string::npos) << a;
    EXPECT_NE(a.find("channels=2"), std::string::npos) << a;
}

}  // namespace
}  // namespace korvale::capture
