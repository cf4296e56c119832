// A file written under a temporary name beside its final one and renamed only
// when complete, so an interrupted capture never leaves a truncated file under
// the name the user asked for.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>

namespace korvale::capture {

// A failure to write an output (disk full, no permission, ffmpeg missing).
class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The temporary name of `finalPath`. It keeps the extension last, because
// ffmpeg picks the container from it.
[[nodiscard]] std::filesystem::path partialPathFor(const std::filesystem::path& finalPath);

class PendingFile {
public:
    // Creates (or truncates) the temporary file; OutputError when it cannot.
    explicit PendingFile(std::filesystem::path finalPath);
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    // Removes the temporary file unless it was committed.
    ~PendingFile();

    void write(std::span<const std::uint8_t> bytes);
    // Rewrites bytes at `offset` (a header whose sizes are known only at the end).
    void overwrite(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    // Flushes, closes and renames to the final name.
    void commit();

    [[nodiscard]] const std::filesystem::path& finalPath() const { return finalPath_; }

private:
    [[noreturn]] void fail(const std::string& what) const;

    std::filesystem::path finalPath_;
    std::filesystem::path partialPath_;
    std::FILE* stream_ = nullptr;
};

}  // namespace korvale::capture
