// The window systems haze on Linux draws on, in the order it tries them.
#pragma once

#include "platform/backend.h"

#include <string>
#include <vector>

// This build's backends, the one to try first first.
const std::vector<const Backend*>& linuxBackends();

// The backend of `list` named `name`, or null.
const Backend* backendNamed(const std::vector<const Backend*>& list, const std::string& name);

// Starts the first backend of `list` whose probe and start succeed, or only
// the one named `wanted` when that is not empty, and returns it. Null when
// none started, with every reason heard in `error`, one after the other in
// the order tried ("no X display (DISPLAY is not set); ...").
const Backend* startBackend(const std::vector<const Backend*>& list, const std::string& wanted,
                            const BackendSettings& settings, std::string& error);
