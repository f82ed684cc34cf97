// The layer shell's client code, made by wayland-scanner, for C++: one of
// its requests has an argument called "namespace", a C++ keyword, which is
// renamed while the header is read (the header has no C++ namespace of its
// own).
#pragma once

#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
