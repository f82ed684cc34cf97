// The saver run from creation to destruction on the headless backend.
#pragma once

#include "platform/headless/headless_platform.h"

#include <cstdint>
#include <string>
#include <vector>

// The size, frames, step and monitors of one headless run.
using HeadlessRender = headless::Session;

// Runs the saver inside the headless backend's virtual parent and returns the
// last frame drawn (the picture of the scene's initialisation when `frames`
// is 0) as RGB rows, top row first. False, with the reason in `error`, when
// there is no offscreen GL or the saver window cannot be made.
bool renderHeadless(const HeadlessRender& request, std::vector<std::uint8_t>& rgbRows,
                    std::string& error);
