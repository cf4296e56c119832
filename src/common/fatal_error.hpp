// The one failure type of the system: an exception that carries its text.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace korvale {

class FatalError : public std::exception {
public:
    explicit FatalError(std::string message) : message_(std::move(message)) {}
    [[nodiscard]] const char* what() const noexcept override { return message_.c_str(); }
    [[nodiscard]] const std::string& message() const noexcept { return message_; }

private:
    std::string message_;
};

}  // namespace korvale
