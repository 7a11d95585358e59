#!/usr/bin/env bash
# Builds the application, makes a demo folder of trip photos, scans and
# documents in a home folder of its own, starts the window in that folder (as
# a file manager's action would) and drives it on a virtual X display as a
# user would: rename ".jpeg" to ".jpg" from the tail. Saves two pictures:
#   docs/screenshot.png          the window after the run, its list refreshed
#   docs/screenshot-summary.png  the window with the run's summary box beside it
# The home folder is a scratch folder mounted over /home in a mount namespace
# of its own (as root, or through a user namespace), so the window shows
# /home/haruka/写真/2026-04 京都旅行 and nothing of this machine.
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$0")/.."

# Inside the namespace: the demo folder, then the X display.
in_namespace() {
    mount --bind "$HOMES" /home
    export HOME=/home/haruka
    export DEMO="$HOME/写真/2026-04 京都旅行"
    mkdir -p "$DEMO/スキャン" "$DEMO/書類"
    for name in 京都旅行_001.jpeg 京都旅行_002.jpeg 京都旅行_003.jpeg 清水寺の夕景.jpeg \
        伏見稲荷_千本鳥居.jpeg "集合写真（全員）.jpeg" 嵐山_竹林の小径.jpeg 旅程表.pdf \
        スキャン/領収書_ホテル.jpeg スキャン/乗車券_往復.jpeg 書類/見積書_2026年4月.pdf \
        書類/議事録_町内会.docx; do
        printf '%s\n' "$name" >"$DEMO/$name"
    done
    xvfb-run -a -s "-screen 0 1280x800x24" bash "$script" --on-display
}

on_display() {
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
    fail() { echo "screenshot: $*" >&2; kill "$app" 2>/dev/null; exit 1; }
    source "$(dirname "$script")/x11-lib.sh"
    # Positions inside the window (no window manager: it sits at 0,0).
    click() { xdotool mousemove --window "$win" "$1" "$2" click 1; sleep 0.3; }

    (cd "$DEMO" && exec "$APP") &
    app=$!
    win=$(x11_window "Fileの名称変更") || fail "the window did not appear"
    sleep 1

    click 447 400; xdotool type --delay 30 ".jpeg"
    click 447 420; xdotool type --delay 30 ".jpg"
    click 447 441
    box=$(x11_window "終了の合図") || fail "no summary box after the run"
    [ "$(find "$DEMO" -name "*.jpg" | wc -l)" -eq 9 ] || fail "the run did not rename the photos"
    [ "$(find "$DEMO" -name "*.jpeg" | wc -l)" -eq 0 ] || fail "some photos kept .jpeg"

    sleep 0.5
    # The two windows side by side on a plain ground, not the black root;
    # the box is moved off the window first, or its picture would hide it.
    xdotool windowmove "$box" 600 0; sleep 0.5
    x11_shoot "$win" "$SUMMARY.window.png"
    x11_shoot "$box" "$SUMMARY.box.png"
    convert -background "#dcdcec" -gravity north "$SUMMARY.window.png" \
        -size 20x1 xc:"#dcdcec" "$SUMMARY.box.png" +append "$SUMMARY"
    rm -f "$SUMMARY.window.png" "$SUMMARY.box.png"

    xdotool key Return; sleep 0.5
    click 514 320; sleep 0.5   # "Refresh here"
    x11_shoot "$win" "$SHOT"
    kill "$app"
}

case "${1:-}" in
--in-namespace) in_namespace; exit ;;
--on-display) on_display; exit ;;
esac

bash scripts/install-deps.sh
build=${NEMIROU_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target nemirou -j "$(nproc)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/home" && mkdir -m 700 "$scratch/run"
app=$(realpath "$build")/ui/nemirou
export APP="$app" HOMES="$scratch/home" XDG_RUNTIME_DIR="$scratch/run"
export SHOT="$PWD/docs/screenshot.png" SUMMARY="$PWD/docs/screenshot-summary.png"
namespace=(unshare --mount --propagation private)
[ "$(id -u)" -eq 0 ] || namespace=(unshare --user --map-root-user --mount --propagation private)
"${namespace[@]}" bash "$script" --in-namespace
echo "saved docs/screenshot.png and docs/screenshot-summary.png"
