#pragma once

#include <exception>

namespace kelo {

// Ends a handler, and every derived handler that called it, without a message.
// The application's general error handling swallows it.
class SilentStop : public std::exception {
public:
    const char *what() const noexcept override { return "SilentStop"; }
};

} // namespace kelo
