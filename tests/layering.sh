#!/usr/bin/env bash
# The arrows of src/ point one way. Fails, naming the file and the include,
# where one runs back up:
#   - nothing outside src/programs/ includes a header of it;
#   - a backend (src/platform/NAME/) includes neither host/ nor app/, nor a
#     header of another backend;
#   - host/ includes no GL header;
#   - window-system headers (Xlib, GLX, EGL, Wayland) stay in src/platform/.
set -euo pipefail
cd "$(dirname "$0")/../src"
status=0
offend() {
  echo "src/$1 includes $2: $3" >&2
  status=1
}
while IFS= read -r line; do
  file=${line%%:*}
  include=${line#*#include }
  folder=${file%%/*}
  backend=""
  [[ "$file" =~ ^platform/([a-z0-9]+)/ ]] && backend=${BASH_REMATCH[1]}
  [[ "$include" == '"programs/'* && "$folder" != programs ]] &&
    offend "$file" "$include" "only the programs include the programs"
  [[ -n "$backend" && ( "$include" == '"host/'* || "$include" == '"app/'* ) ]] &&
    offend "$file" "$include" "a backend reaches up"
  if [[ -n "$backend" && "$include" =~ ^\"platform/([a-z0-9]+)/ ]]; then
    [ "${BASH_REMATCH[1]}" = "$backend" ] || offend "$file" "$include" "a backend reaches into another"
  fi
  [[ "$folder" == host && ( "$include" == '<GL/'* || "$include" == '"support/gl_api.h"' ) ]] &&
    offend "$file" "$include" "the host draws nothing"
  [[ "$folder" != platform && "$include" =~ ^\<(X11/|GL/glx|EGL/|wayland-) ]] &&
    offend "$file" "$include" "a window-system header outside the platform"
done < <(grep -rHo '^#include .*' --include='*.h' --include='*.cpp' . | sed 's#^\./##')
exit "$status"
