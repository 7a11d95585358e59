#!/usr/bin/env bash
# Builds the application and starts it.
set -euo pipefail
start=$PWD  # the window opens the folder it is started in
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target nemirou
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Nemirou needs a desktop: no display found (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
    exit 1
fi
app=$PWD/build/ui/nemirou
cd "$start" && exec "$app"
