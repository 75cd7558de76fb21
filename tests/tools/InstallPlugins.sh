#!/usr/bin/env bash
# Runs scripts/install-plugins into a scratch home twice and checks what lands there.
set -euo pipefail
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

for run in 1 2; do
    HOME="$home" "$1/scripts/install-plugins" > /dev/null
done

test -x "$home/.vst/Quaverline.so"
test -f "$home/.vst3/Quaverline.vst3/Contents/x86_64-linux/Quaverline.so"
test -f "$home/.lv2/Quaverline.lv2/manifest.ttl"
test -f "$home/.lv2/Quaverline.lv2/libQuaverline.so"
echo "installed OK"
