#!/usr/bin/env bash
# Sets up, builds and runs haze. Extra arguments go to haze. Without any: the
# saver in a window of its own when a Wayland compositor or an X display
# answers, else five simulated seconds rendered offscreen, the last frame
# written to out/haze.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh run
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DHAZE_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)"

haze=build/release/haze
if [ $# -gt 0 ]; then
  exec "$haze" "$@"
fi
wayland_socket=${WAYLAND_DISPLAY:-}
[[ "$wayland_socket" == /* ]] || wayland_socket=${XDG_RUNTIME_DIR:-/nonexistent}/$wayland_socket
if { [ -n "${WAYLAND_DISPLAY:-}" ] && [ -S "$wayland_socket" ]; } ||
  { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
  echo "haze in a window: close it, or press q or Escape in it, to end"
  exec "$haze" -window
fi
mkdir -p out
"$haze" --render out/haze.png >/dev/null
echo "$PWD/out/haze.png"
