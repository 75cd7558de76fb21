#!/usr/bin/env bash
# Without DISPLAY, the VST 2.4 plug-in's editor must connect to no X server:
# JUCE used to fall back to ":0" and reached whatever server was there. This
# starts an X server on :0 that nothing else on the machine sees (a private
# network namespace for its abstract socket, a private mount over the socket
# folder, no lock file), asks for the editor's rectangle once with DISPLAY=:0,
# where the connection must show, and once without DISPLAY, where none may,
# and reads the connections from strace.
#   NoDisplay.sh VST2_HOST_TEST_PROGRAM WORK_FOLDER
set -euo pipefail
program="$1"
work="$2"
mkdir -p "$work"
# The socket folder every X server makes (the window tests' servers too).
mkdir -p /tmp/.X11-unix

exec unshare --net --mount --fork bash -s "$program" "$work" <<'INNER'
set -euo pipefail
program="$1"
work="$2"
mount -t tmpfs tmpfs /tmp/.X11-unix
Xvfb :0 -nolock -nolisten tcp -screen 0 640x480x24 > "$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT

for _ in $(seq 100); do
    [ -S /tmp/.X11-unix/X0 ] && break
    sleep 0.1
done

connects() {
    strace -f -e trace=connect -o "$work/trace.txt" "$@" "$program" \
        --gtest_filter='*TheEditorRectangleBeforeOpening*' > "$work/test.log" 2>&1 || true
    grep -c 'X11-unix/X0' "$work/trace.txt" || true
}

with_display=$(connects env DISPLAY=:0)
without_display=$(connects env -u DISPLAY)
echo "connections to :0 with DISPLAY=:0: $with_display, without DISPLAY: $without_display"
[ "$with_display" -gt 0 ] && [ "$without_display" -eq 0 ] && echo "no display OK"
INNER
