#!/usr/bin/env bash
# `make run`: show what the program does with the bundled example document.
set -euo pipefail
build=${1:-build}
bin="$build/bin/ploxwin"
demo=examples/demo.qvp
"$bin" --convert "$build/demo-converted.qvp" "$demo"
