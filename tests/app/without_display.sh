#!/bin/sh
# Starts the window with no display to open on: it must say so in one line
# that names both ways on, and end with status 1.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$1" 2>&1)
status=$?
printf '%s\n' "$out"
[ "$status" -eq 1 ] || { echo "status $status, not 1"; exit 1; }
[ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || { echo "not one line"; exit 1; }
case "$out" in
*"no display found"*"xvfb-run make run"*olvenmark-cli*) ;;
*) echo "the line does not say how to go on"; exit 1 ;;
esac
