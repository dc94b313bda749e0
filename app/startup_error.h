// A failure of the load sequence: names the file (or resource) and what is wrong with it.
#pragma once

#include <stdexcept>
#include <string>

namespace app {

class StartupError : public std::runtime_error {
public:
    StartupError(const std::string& what, const std::string& reason)
        : std::runtime_error(what + ": " + reason) {}
};

}  // namespace app
