#!/usr/bin/env bash
# Checks the desktop metadata and manual pages, builds the Debian package,
# checks it with lintian, unpacks it into a scratch root and starts the window
# from there under Xvfb with a window manager, then again: the second start
# must bring the first window to the front and end.
# Usage: package-test.sh [BUILD_DIR]   (an already configured build folder)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
id=io.github.nemirou.Nemirou

# The packaging-only tools, when missing: lintian, and a window manager for
# the second start (without one the X server keeps the focus where it is).
missing=()
for p in lintian openbox; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

echo "== Desktop metadata and manual pages"
appstreamcli validate --no-net "packaging/$id.metainfo.xml"
desktop-file-validate "packaging/$id.desktop"
for page in packaging/man/*.1; do
    # man renders to a UTF-8 terminal; any warning fails the check.
    warnings=$(groff -ww -z -k -Tutf8 -man "$page" 2>&1)
    [ -z "$warnings" ] || { echo "$page: $warnings" >&2; exit 1; }
done

echo "== Debian package"
cmake --build "$build" --target nemirou package-files -j "$(nproc)"
if grep -q '^nemirou-cli:' <(ninja -C "$build" -t targets all 2>/dev/null); then
    cmake --build "$build" --target nemirou-cli -j "$(nproc)"
fi
rm -f "$build"/nemirou_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/nemirou_*.deb)
dpkg-deb -f "$deb" Package Version Section Depends Recommends

echo "== lintian"
# No error and no warning; the info tags left are listed (and explained in
# packaging/lintian-info.txt).
lintian --display-info --fail-on error,warning "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
for f in usr/bin/nemirou \
         usr/share/applications/$id.desktop \
         usr/share/metainfo/$id.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/$id.svg \
         usr/share/man/man1/nemirou.1.gz usr/share/man/man1/nemirou-cli.1.gz \
         usr/share/doc/nemirou/copyright usr/share/doc/nemirou/changelog.gz; do
    [ -e "$root/$f" ] || { echo "missing in the package: /$f" >&2; exit 1; }
done
# Every PNG icon has the size of its folder (rendered at that size).
for size in 16 24 32 48 64 128 256; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ "$(identify -format %wx%h "$png")" = "${size}x${size}" ] ||
        { echo "icon of the wrong size: $png" >&2; exit 1; }
done
[ -x "$root/usr/bin/nemirou" ]
# The desktop entry must start the installed program and name the installed icon.
grep -qx 'Exec=nemirou' "$root/usr/share/applications/$id.desktop"
grep -qx "Icon=$id" "$root/usr/share/applications/$id.desktop"

if [ -e "$build/cli/nemirou-cli" ]; then
    [ -x "$root/usr/bin/nemirou-cli" ] || { echo "nemirou-cli was built but is not packaged" >&2; exit 1; }
    "$root/usr/bin/nemirou-cli" --help >/dev/null
fi

echo "== Start the packaged window, then start it again"
x11_lib=$(realpath scripts/x11-lib.sh)
shot="$build/package-window.png"
runtime="$root/run"; mkdir -m 700 "$runtime"
APP="$root/usr/bin/nemirou" SHOT="$shot" XDG_RUNTIME_DIR="$runtime" X11_LIB="$x11_lib" \
    timeout 90 xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -euo pipefail
    source "$X11_LIB"
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
    fail() { echo "$*" >&2; kill "${app:-}" "${cover:-}" "$wm" 2>/dev/null; exit 1; }
    openbox >/dev/null 2>&1 & wm=$!
    x11_wait_wm || fail "openbox did not start"
    "$APP" & app=$!
    wid=$(x11_window "Fileの名称変更") || fail "the packaged window did not appear"
    sleep 1
    x11_shoot "$wid" "$SHOT"

    # Another window in front, then the window minimised: each time a second
    # start must end at once, silently, and the window come to the front.
    xmessage -geometry 900x700+0+0 cover 2>/dev/null & cover=$!
    sleep 1
    xdotool windowactivate --sync "$(x11_window "^xmessage$")"
    for hide in cover minimise; do
        [ "$hide" = minimise ] && xdotool windowminimize --sync "$wid"
        [ "$(xdotool getactivewindow)" != "$wid" ] || fail "could not $hide the window"
        start=$(date +%s%N)
        err=$("$APP" 2>&1) || fail "the second start failed: $err"
        [ -z "$err" ] || fail "the second start said: $err"
        [ $(( ($(date +%s%N) - start) / 1000000 )) -lt 3000 ] || fail "the second start took long"
        for _ in $(seq 20); do [ "$(xdotool getactivewindow)" = "$wid" ] && break; sleep 0.25; done
        [ "$(xdotool getactivewindow)" = "$wid" ] || fail "after $hide: not brought to the front"
        xprop -id "$wid" _NET_WM_STATE | grep -qv HIDDEN || fail "after $hide: still minimised"
    done
    kill "$cover" "$app" "$wm"
'
echo "packaged window: $shot"

# On a CI machine (root, thrown away afterwards) the package is installed for
# real with apt, which resolves its computed dependencies, and the window is
# started the way a menu starts it: through its desktop entry.
if [ "${CI:-}" = true ] && [ "$(id -u)" -eq 0 ]; then
    echo "== apt install and start from the menu entry"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "$(realpath "$deb")" >/dev/null
    trap 'DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq nemirou >/dev/null; rm -rf "$root"' EXIT
    command -v nemirou >/dev/null && man -w nemirou >/dev/null
    # The help of the installed nemirou-cli is wholly Japanese under a
    # Japanese locale.
    help=$(LC_ALL=ja_JP.UTF-8 nemirou-cli --help)
    grep -q "^使い方: nemirou-cli " <<<"$help" && ! grep -qE "Usage|Options:" <<<"$help"
    ENTRY="/usr/share/applications/$id.desktop" XDG_RUNTIME_DIR="$runtime" X11_LIB="$x11_lib" \
        timeout 90 xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        set -euo pipefail
        source "$X11_LIB"
        unset QT_QPA_PLATFORM WAYLAND_DISPLAY
        gio launch "$ENTRY"
        wid=$(x11_window "Fileの名称変更") ||
            { echo "the menu entry did not start the window" >&2; exit 1; }
        kill "$(xdotool getwindowpid "$wid")"
    '
    echo "installed with apt and started from its menu entry"

    echo "== The menu entry's undo action: nemirou --undo from the package"
    grep -qx 'Exec=nemirou --undo' "/usr/share/applications/$id.desktop"
    work=$(mktemp -d)
    mkdir "$work/写真" && touch "$work/写真/a.JPG" "$work/写真/b.JPG"
    XDG_STATE_HOME="$work/state" nemirou-cli --tail --from .JPG --to .jpg --apply "$work/写真" >/dev/null
    WORK="$work" SHOT="$build/package-undo.png" XDG_RUNTIME_DIR="$runtime" X11_LIB="$x11_lib" \
        timeout 90 xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        set -euo pipefail
        source "$X11_LIB"
        unset QT_QPA_PLATFORM WAYLAND_DISPLAY
        XDG_STATE_HOME="$WORK/state" nemirou --undo & app=$!
        wid=$(x11_window "最後の変更を元に戻す") ||
            { echo "nemirou --undo showed no window" >&2; kill "$app"; exit 1; }
        sleep 1
        x11_shoot "$wid" "$SHOT"
        xdotool key --window "$wid" Return  # the default button: 元に戻す
        for _ in $(seq 20); do
            [ -e "$WORK/写真/a.JPG" ] && [ -e "$WORK/写真/b.JPG" ] && break
            sleep 0.5
        done
        kill "$app"
        [ -e "$WORK/写真/a.JPG" ] && [ -e "$WORK/写真/b.JPG" ] ||
            { echo "the undo window restored nothing" >&2; exit 1; }
    '
    rm -rf "$work"
    echo "the installed undo window restored the run: $build/package-undo.png"
fi
