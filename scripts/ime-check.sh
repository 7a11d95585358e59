#!/usr/bin/env bash
# Types a Japanese word the way a Japanese desktop does, through IBus with
# Mozc, into 変更部分 of the window's tail frame on a virtual X display, and
# checks the box's text. Run by hand, as root or through sudo (it installs
# IBus and Mozc when missing); not part of CI.
# Usage: ime-check.sh [BUILD_DIR]   (a configured build folder; default build)
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$0")/.."

# On the display, inside its own session bus: IBus, Mozc, the window.
on_display() {
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
    fail() { echo "ime-check: $*" >&2; kill "${app:-}" 2>/dev/null; ibus exit 2>/dev/null; exit 1; }
    # Mozc starts in hiragana rather than in direct input.
    mkdir -p "$XDG_CONFIG_HOME/mozc"
    cat >"$XDG_CONFIG_HOME/mozc/ibus_config.textproto" <<'END'
engines {
  name : "mozc-jp"
  longname : "Mozc"
  layout : "default"
  layout_variant : ""
  layout_option : ""
  rank : 80
}
active_on_launch: True
END
    ibus-daemon --daemonize --replace --xim --panel=disable
    for _ in $(seq 40); do ibus list-engine >/dev/null 2>&1 && break; sleep 0.25; done
    # It answers 1 even when it switched, and times out while Mozc loads.
    for _ in $(seq 10); do
        ibus engine mozc-jp >/dev/null 2>&1 || true
        [ "$(ibus engine 2>/dev/null)" = mozc-jp ] && break
        sleep 1
    done
    [ "$(ibus engine 2>/dev/null)" = mozc-jp ] || fail "IBus did not take the Mozc engine"

    QT_IM_MODULE=ibus "$APP" &
    app=$!
    for _ in $(seq 60); do
        win=$(xdotool search --name "Fileの名称変更" 2>/dev/null | head -1 || true)
        [ -n "$win" ] && break
        sleep 0.5
    done
    [ -n "${win:-}" ] || fail "the window did not appear"
    sleep 1
    # 変更部分 of the tail frame (no window manager: the window sits at 0,0).
    xdotool mousemove --window "$win" 447 400 click 1
    sleep 0.5
    # The reading, one conversion and the commit; then the box's text, read
    # back through the clipboard.
    xdotool type --delay 150 "nihongo"
    sleep 0.5
    xdotool key --delay 300 space Return
    sleep 0.5
    xdotool key --delay 100 ctrl+a ctrl+c
    sleep 0.3
    text=$(xclip -o -selection clipboard 2>/dev/null || true)
    kill "$app"
    ibus exit 2>/dev/null || true
    echo "変更部分 holds: ${text:-(nothing)}"
    [ "$text" = "日本語" ] || fail "expected 日本語"
    echo "ime-check: typed 日本語 through IBus and Mozc"
}

if [ "${1:-}" = --on-display ]; then
    on_display
    exit
fi

# Mozc refuses to work for root, and its server outlives the session: the
# check runs as nobody, in a PID namespace of its own that takes every
# process with it when it ends (with its own /proc: Mozc's client checks the
# server's process by the id the socket gives). Both need root.
if [ "$(id -u)" -ne 0 ]; then
    exec sudo bash "$script" "$@"
fi
build=${1:-build}
needed=(ibus ibus-mozc mozc-server dbus dbus-x11 xvfb xauth xdotool xclip)
missing=()
for p in "${needed[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
cmake --build "$build" --target nemirou -j "$(nproc)"

# A home and a runtime folder of its own: IBus and Mozc keep their settings
# there, and the window's lock does not meet a running window's.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/run"
chown -R nobody:nogroup "$scratch"
chmod 755 "$scratch"
APP=$(realpath "$build")/ui/nemirou HOME=$scratch XDG_RUNTIME_DIR=$scratch/run \
    XDG_CONFIG_HOME=$scratch/.config LANG=C.UTF-8 LC_ALL=C.UTF-8 \
    unshare --pid --fork --kill-child --mount-proc \
    setpriv --reuid=nobody --regid=nogroup --clear-groups bash -c '
        # bash stays the namespace'"'"'s first process (no exec of the last
        # command): xvfb-run waits for a signal that the first one would not get.
        xvfb-run -a -s "-screen 0 1280x800x24" dbus-run-session -- bash "$0" --on-display
        exit $?' \
    "$script"
