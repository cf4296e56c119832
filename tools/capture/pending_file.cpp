#include "pending_file.hpp"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace korvale::capture {

std::filesystem::path partialPathFor(const std::filesystem::path& finalPath) {
    std::filesystem::path partial = finalPath;
    partial += ".partial";
    partial += finalPath.extension();
    return partial;
}

PendingFile::PendingFile(std::filesystem::path finalPath)
    : finalPath_(std::move(finalPath)), partialPath_(partialPathFor(finalPath_)) {
    stream_ = std::fopen(partialPath_.c_str(), "wb");
    if (stream_ == nullptr) fail("cannot create");
}

PendingFile::~PendingFile() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        std::error_code ignored;
        std::filesystem::remove(partialPath_, ignored);
    }
}

void PendingFile::write(std::span<const std::uint8_t> bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) fail("cannot write");
}

void PendingFile::overwrite(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    if (std::fflush(stream_) != 0 || std::fseek(stream_, static_cast<long>(offset), SEEK_SET) != 0) {
        fail("cannot write");
    }
    write(bytes);
    if (std::fseek(stream_, 0, SEEK_END) != 0) fail("cannot write");
}

void PendingFile::commit() {
    std::FILE* stream = stream_;
    stream_ = nullptr;
    if (std::fclose(stream) != 0) {
        const int error = errno;
        std::error_code ignored;
        std::filesystem::remove(partialPath_, ignored);
        errno = error;
        fail("cannot write");
    }
    std::error_code error;
    std::filesystem::rename(partialPath_, finalPath_, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(partialPath_, ignored);
        throw OutputError("cannot rename " + partialPath_.string() + " to " + finalPath_.string() + ": " +
                          error.message());
    }
}

void PendingFile::fail(const std::string& what) const {
    throw OutputError(what + " " + partialPath_.string() + ": " + std::strerror(errno));
}

}  // namespace korvale::capture
