#include "png_writer.hpp"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <system_error>

#include "pending_file.hpp"

namespace korvale::capture {

void writePng(const std::filesystem::path& path, const Rgb24Frame& pixels) {
    const std::filesystem::path partial = partialPathFor(path);
    std::FILE* stream = std::fopen(partial.c_str(), "wb");
    if (stream == nullptr) {
        throw OutputError("cannot create " + partial.string() + ": " + std::strerror(errno));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = screenWidth;
    image.height = screenHeight;
    image.format = PNG_FORMAT_RGB;
    const int written = png_image_write_to_stdio(&image, stream, 0, pixels.data(), 0, nullptr);
    const bool closed = std::fclose(stream) == 0;
    std::error_code error;
    if (written != 0 && closed) {
        std::filesystem::rename(partial, path, error);
        if (!error) return;
    }
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);
    std::string reason = written == 0 ? std::string(image.message) : closed ? error.message() : "cannot write";
    throw OutputError("cannot write " + path.string() + ": " + reason);
}

PngSequenceWriter::PngSequenceWriter(std::filesystem::path directory) : directory_(std::move(directory)) {
    std::error_code error;
    std::filesystem::create_directories(directory_, error);
    if (error || !std::filesystem::is_directory(directory_)) {
        throw OutputError("cannot create directory " + directory_.string() +
                          (error ? ": " + error.message() : std::string(": not a directory")));
    }
}

std::string PngSequenceWriter::frameName(std::uint64_t index) {
    char name[40];
    std::snprintf(name, sizeof name, "frame_%06llu.png", static_cast<unsigned long long>(index));
    return name;
}

void PngSequenceWriter::write(std::uint64_t index, const Rgb24Frame& pixels) const {
    writePng(directory_ / frameName(index), pixels);
}

}  // namespace korvale::capture
