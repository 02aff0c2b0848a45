#!/usr/bin/env bash
# `make run`: the program on the bundled example document.
set -euo pipefail
build=${1:-build}
bin="$build/bin/ploxwin"
demo=examples/demo.qvp

echo "== reading and writing $demo"
"$bin" --convert "$build/demo-converted.qvp" "$demo"
echo "== rendering $demo"
"$bin" --export "$build/demo.pdf" "$demo"
"$bin" --export "$build/demo.png" "$demo"
echo "wrote $build/demo.pdf and $build/demo.png"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "== opening $demo in the window"
    exec "$bin" "$demo"
else
    echo "no display: rendered headless only (open $build/demo.png to look at it)"
fi
