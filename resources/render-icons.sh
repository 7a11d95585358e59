#!/usr/bin/env bash
# Renders the installed PNG icons from the scalable one, each size straight
# from the drawing (never one size scaled from another). Run after changing
# resources/nemirou.svg and commit the pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" resources/nemirou.svg -o "packaging/icons/nemirou-$size.png"
done
