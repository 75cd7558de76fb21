#!/usr/bin/env bash
# Checks the built LV2 bundle with the LV2 project's own tools: every Turtle
# file against the installed LV2 schemas (sord_validate), and what a host's
# LV2 library reads from it (lv2info): the plug-in's name and its first
# parameter's label (Quaverline's unless given).
set -euo pipefail
bundle="$1"
uri="$2"
name="${3:-Quaverline}"
parameter="${4:-Time Signature}"

validation=$(sord_validate $(find /usr/lib/lv2 -name '*.ttl') "$bundle"/*.ttl 2>&1 || true)
echo "$validation" | tail -n 1
if ! echo "$validation" | grep -q "^Found 0 errors"; then
    echo "$validation"
    exit 1
fi

info=$(LV2_PATH="$(dirname "$bundle")" lv2info "$uri")
expect() {
    if ! grep -qE "$1" <<< "$info"; then
        echo "lv2info does not show: $1"
        echo "$info"
        exit 1
    fi
}
expect "Name: +$name$"
expect "Author: +Kyvo$"
expect "Symbol: +audio_out_1$"
expect "Symbol: +audio_out_2$"
expect "Extension Data: +http://lv2plug.in/ns/ext/state#interface"
if grep -q "Author Email" <<< "$info"; then
    echo "the bundle names a mail address that is none"
    exit 1
fi
if grep -q "lv2:InputPort , lv2:AudioPort" "$bundle/dsp.ttl"; then
    echo "the bundle has an audio input"
    exit 1
fi
grep -q "rdfs:label \"$parameter\"" "$bundle/dsp.ttl" || { echo "no $parameter parameter"; exit 1; }
echo "LV2 bundle OK"
