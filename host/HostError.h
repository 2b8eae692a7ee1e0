// The one error type of the command-line host: a message a person can act on,
// printed as a single line before the program exits non-zero.
#pragma once

#include <stdexcept>
#include <string>

namespace host {

class HostError final : public std::runtime_error {
  public:
    explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace host
