// The Backend over hidapi's hidraw implementation.
#pragma once

#include <memory>

#include "hidlib/backend.h"

namespace corvane::hidlib {

std::unique_ptr<Backend> makeHidapiBackend();

}  // namespace corvane::hidlib
