#!/usr/bin/env bash
# Runs a command in a window of its own X server (Xvfb) under a real window
# manager (openbox), on Qt's xcb platform: for the tests whose subject is
# what a window manager does with the window. Exits with 77 (a skipped
# test) when no X server can be started here.
set -u
for tool in Xvfb openbox xprop; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/deps.sh installs it)"
    exit 77
  fi
done
# Xvfb picks a free display itself and says which.
fd_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
display=":$(head -n1 "$fd_file")"
rm -f "$fd_file"
if ! kill -0 "$xvfb" 2>/dev/null || [ "$display" = ":" ]; then
  echo "skipped: the X server could not be started"
  exit 77
fi
DISPLAY="$display" openbox >/dev/null 2>&1 &
wm=$!
# Until the window manager has announced itself on the root window.
for _ in $(seq 50); do
  DISPLAY="$display" xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
DISPLAY="$display" QT_QPA_PLATFORM=xcb "$@"
status=$?
kill "$wm" "$xvfb" 2>/dev/null
wait "$wm" "$xvfb" 2>/dev/null
exit $status
