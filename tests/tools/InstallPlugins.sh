#!/usr/bin/env bash
# Runs scripts/install-plugins into a scratch home twice and checks what lands there.
set -euo pipefail
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

for run in 1 2; do
    HOME="$home" "$1/scripts/install-plugins" > /dev/null
done

for product in Quaverline QuaverlineSync; do
    test -x "$home/.vst/$product.so"
    test -f "$home/.vst3/$product.vst3/Contents/x86_64-linux/$product.so"
    test -f "$home/.lv2/$product.lv2/manifest.ttl"
    test -f "$home/.lv2/$product.lv2/lib$product.so"
done
echo "installed OK"
