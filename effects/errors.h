// The one error the engine raises: a call outside the bounds its callers must keep.
#pragma once

#include <stdexcept>
#include <string>

namespace mdlEffects {

class EngineError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

}  // namespace mdlEffects
