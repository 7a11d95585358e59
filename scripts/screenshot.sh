#!/usr/bin/env bash
# Builds the application, starts it on a virtual X display and saves a
# picture of its window as docs/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
need=()
command -v import >/dev/null || need+=(imagemagick)
command -v xwininfo >/dev/null || need+=(x11-utils)
if [ ${#need[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

build=${NEMIROU_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target nemirou -j "$(nproc)"

out=docs/screenshot.png
# A private runtime folder, so that a running copy does not stop this one.
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT

APP="$build/ui/nemirou" XDG_RUNTIME_DIR="$runtime" xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -euo pipefail
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
    "$APP" &
    app=$!
    # Wait until the window is mapped (up to 30 s), then let it paint.
    id=""
    for _ in $(seq 60); do
        id=$(xwininfo -root -tree 2>/dev/null | awk "/Fileの名称変更/ {print \$1; exit}")
        [ -n "$id" ] && break
        sleep 0.5
    done
    if [ -z "$id" ]; then
        echo "screenshot: the window did not appear" >&2
        kill "$app"
        exit 1
    fi
    sleep 2
    import -window "$id" "'"$out"'"
    kill "$app"
'
echo "saved $out"
