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
display=""
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
if [ -z "$display" ]; then echo "skipped: no free X display"; exit 77; fi
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
if ! kill -0 "$xvfb" 2>/dev/null || [ ! -e "/tmp/.X11-unix/X${display#:}" ]; then
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
