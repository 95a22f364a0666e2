// The one kind of failure the renderer reports: its message is the single
// line the user reads on stderr before the program exits non-zero.
#pragma once

#include <stdexcept>
#include <string>

namespace render {

class RenderError : public std::runtime_error {
public:
    explicit RenderError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace render
