#!/usr/bin/env bash
# Checks the desktop metadata and manual pages, builds the Debian package,
# unpacks it into a scratch root and starts the window from there under Xvfb.
# Usage: package-test.sh [BUILD_DIR]   (an already configured build folder)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
id=io.github.nemirou.Nemirou

echo "== Desktop metadata and manual pages"
appstreamcli validate --no-net "packaging/$id.metainfo.xml"
desktop-file-validate "packaging/$id.desktop"
for page in packaging/man/*.1; do
    # man renders to a UTF-8 terminal; any warning fails the check.
    warnings=$(groff -ww -z -k -Tutf8 -man "$page" 2>&1)
    [ -z "$warnings" ] || { echo "$page: $warnings" >&2; exit 1; }
done

echo "== Debian package"
cmake --build "$build" --target nemirou -j "$(nproc)"
if grep -q '^nemirou-cli:' <(ninja -C "$build" -t targets all 2>/dev/null); then
    cmake --build "$build" --target nemirou-cli -j "$(nproc)"
fi
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/nemirou_*.deb)
dpkg-deb -f "$deb" Package Version Section Depends Recommends

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
for f in usr/bin/nemirou \
         usr/share/applications/$id.desktop \
         usr/share/metainfo/$id.metainfo.xml \
         usr/share/icons/hicolor/{32x32,48x48,64x64,128x128}/apps/$id.png \
         usr/share/man/man1/nemirou.1 usr/share/man/man1/nemirou-cli.1; do
    [ -e "$root/$f" ] || { echo "missing in the package: /$f" >&2; exit 1; }
done
[ -x "$root/usr/bin/nemirou" ]
# The desktop entry must start the installed program and name the installed icon.
grep -qx 'Exec=nemirou' "$root/usr/share/applications/$id.desktop"
grep -qx "Icon=$id" "$root/usr/share/applications/$id.desktop"

if [ -e "$build/cli/nemirou-cli" ]; then
    [ -x "$root/usr/bin/nemirou-cli" ] || { echo "nemirou-cli was built but is not packaged" >&2; exit 1; }
    "$root/usr/bin/nemirou-cli" --help >/dev/null
fi

echo "== Start the packaged window"
shot="$build/package-window.png"
runtime="$root/run"; mkdir -m 700 "$runtime"
APP="$root/usr/bin/nemirou" SHOT="$shot" XDG_RUNTIME_DIR="$runtime" \
    timeout 90 xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -euo pipefail
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
    "$APP" & app=$!
    for _ in $(seq 60); do
        wid=$(xwininfo -root -tree 2>/dev/null | awk "/Fileの名称変更/ {print \$1; exit}")
        [ -n "$wid" ] && break
        sleep 0.5
    done
    [ -n "${wid:-}" ] || { echo "the packaged window did not appear" >&2; kill "$app"; exit 1; }
    sleep 1
    import -window "$wid" "$SHOT"
    kill "$app"
'
echo "packaged window: $shot"

# On a CI machine (root, thrown away afterwards) the package is installed for
# real with apt, which resolves its computed dependencies, and the window is
# started the way a menu starts it: through its desktop entry.
if [ "${CI:-}" = true ] && [ "$(id -u)" -eq 0 ]; then
    echo "== apt install and start from the menu entry"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$(realpath "$deb")" >/dev/null
    trap 'DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq nemirou >/dev/null; rm -rf "$root"' EXIT
    command -v nemirou >/dev/null && man -w nemirou >/dev/null
    ENTRY="/usr/share/applications/$id.desktop" XDG_RUNTIME_DIR="$runtime" \
        timeout 90 xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        set -euo pipefail
        unset QT_QPA_PLATFORM WAYLAND_DISPLAY
        gio launch "$ENTRY"
        for _ in $(seq 60); do
            wid=$(xwininfo -root -tree 2>/dev/null | awk "/Fileの名称変更/ {print \$1; exit}")
            [ -n "$wid" ] && break
            sleep 0.5
        done
        pkill -x nemirou || true
        [ -n "${wid:-}" ] || { echo "the menu entry did not start the window" >&2; exit 1; }
    '
    echo "installed with apt and started from its menu entry"
fi
