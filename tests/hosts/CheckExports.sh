#!/usr/bin/env bash
# Checks that a shared library exports exactly the given symbols and nothing else.
set -euo pipefail
library="$1"
shift

actual=$(nm -D --defined-only "$library" | awk '{ print $3 }' | sort)
expected=$(printf '%s\n' "$@" | sort)

if [ "$actual" != "$expected" ]; then
    echo "$library exports:"
    echo "$actual"
    echo "expected:"
    echo "$expected"
    exit 1
fi
echo "exports OK"
