#!/usr/bin/env bash
# Runs scripts/mutants.py as root without putting anything outside a scratch
# clone at risk: a planted fault once made the suite delete the folder that
# held the work tree.
#
#   sudo scripts/mutants-sandbox.sh NAME [mutants.py options...]
#
# The clone is /tmp/mut/NAME (made from this repository's HEAD when missing;
# `git pull` inside it to move it on). It runs in a private mount namespace in
# which the clone is seen as /tmp/mut/repo (so that several clones, run side
# by side, share one set of build paths), /tmp is /tmp/mut/tmp-NAME, and the
# rest of the system, this work tree included, is read-only. Give --out as a
# path under /tmp/mut/repo, e.g. --out /tmp/mut/repo/after.json, which is
# /tmp/mut/NAME/after.json outside.
set -euo pipefail
[ "$(id -u)" = 0 ] || { echo "run it as root: the namespace and the volume tests need it" >&2; exit 2; }
[ $# -ge 1 ] || { sed -n '2,14p' "$0" >&2; exit 2; }
name=$1; shift
top=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
mkdir -p /tmp/mut "/tmp/mut/tmp-$name"
chmod 1777 "/tmp/mut/tmp-$name"
[ -d "/tmp/mut/$name" ] || git clone -q "$top" "/tmp/mut/$name"

exec unshare -m --propagation private bash -c '
set -e
name=$1; shift
mount --bind "/tmp/mut/$name" /mnt
mount --bind "/tmp/mut/tmp-$name" /tmp
mkdir -p /tmp/mut/repo
mount --move /mnt /tmp/mut/repo
for d in /work /root /home /usr /etc /var /opt /srv /boot /bin /sbin /lib /lib64 /mnt; do
    [ -d "$d" ] && [ ! -L "$d" ] || continue
    mount --bind "$d" "$d"
    mount -o remount,bind,ro "$d"
done
export CCACHE_DIR=/tmp/ccache HOME=/tmp/home XDG_RUNTIME_DIR=/tmp/run
mkdir -p "$CCACHE_DIR" "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cd /tmp/mut/repo
exec python3 scripts/mutants.py --as-root "$@"' sandbox "$name" "$@"
