#!/bin/bash
# Whole-process export of a document with one line series, against the usual peers: gnuplot's
# png (gd), pdfcairo and svg terminals and matplotlib (Agg). Runs alternate; the medians of CPU
# time (user + system, what the machine spends) and of elapsed time are reported, and the ratios
# of CPU time. The peak memory of ploxwin's PNG export follows when /usr/bin/time is there.
# Usage: bench/export_vs_peers.sh [path/to/ploxwin]   (env RUNS, SIZES)
# Installs gnuplot and python3-matplotlib with apt-get when they are missing; CI never runs it.
# The data reader stops at 320,000 points per series, so at 1,000,000 points ploxwin draws the
# first 320,000 while the peers draw all of them.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
PLOXWIN=${1:-$ROOT/build/bin/ploxwin}
RUNS=${RUNS:-7}
SIZES=${SIZES:-"320000 1000000"}
PYTHON=/usr/bin/python3

[ -x "$PLOXWIN" ] || { echo "no ploxwin at $PLOXWIN (build it first)" >&2; exit 1; }

missing=()
command -v gnuplot >/dev/null || missing+=(gnuplot-nox)
"$PYTHON" -c 'import matplotlib' 2>/dev/null || missing+=(python3-matplotlib)
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get install -y -q "${missing[@]}" >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

cat > "$work/plot.py" <<'PY'
import sys
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np
data = np.loadtxt(sys.argv[1])
fig = plt.figure(figsize=(210 / 25.4, 297 / 25.4), dpi=150)
ax = fig.add_axes([40 / 210, 1 - 115 / 297, 140 / 210, 100 / 297])
ax.plot(data[:, 0], data[:, 1], linewidth=0.6)
ax.set_xlim(0, 1)
ax.set_ylim(-1.5, 1.5)
fig.savefig(sys.argv[2], dpi=150)
PY

run_tool() {
    case $1 in
        ploxwin-png) "$PLOXWIN" --export "$work/p.png" "$work/line.qvp" --dpi 150 ;;
        ploxwin-pdf) "$PLOXWIN" --export "$work/p.pdf" "$work/line.qvp" ;;
        ploxwin-svg) "$PLOXWIN" --export "$work/p.svg" "$work/line.qvp" ;;
        gnuplot-gd) gnuplot -e "set terminal png size 1240,1754; set output '$work/g.png'; \
                                plot '$work/points.dat' with lines notitle" ;;
        gnuplot-pdfcairo) gnuplot -e "set terminal pdfcairo size 21cm,29.7cm; set output '$work/g.pdf'; \
                                      plot '$work/points.dat' with lines notitle" ;;
        gnuplot-svg) gnuplot -e "set terminal svg size 1240,1754; set output '$work/g.svg'; \
                                 plot '$work/points.dat' with lines notitle" ;;
        matplotlib) "$PYTHON" "$work/plot.py" "$work/points.dat" "$work/m.png" ;;
    esac
}

# One run of a tool; prints "cpu elapsed" in seconds.
run() {
    local TIMEFORMAT='%3U %3S %3R'
    { time run_tool "$1" >/dev/null 2>&1; } 2>&1 | awk '{ printf "%.4f %.4f\n", $1 + $2, $3 }'
}

median() { sort -g | awk '{v[NR] = $1} END {m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.3f", m}'; }

tools=(ploxwin-png gnuplot-gd ploxwin-pdf gnuplot-pdfcairo ploxwin-svg gnuplot-svg matplotlib)
printf "%-9s %-17s %10s %10s\n" points tool "median cpu" "elapsed"
for n in $SIZES; do
    awk -v n="$n" 'BEGIN { srand(7); for (i = 0; i < n; i++) { x = i / n;
        printf "%.7f %.6f\n", x, sin(125.66 * x) * cos(3 * x) + 0.2 * (rand() - 0.5) } }' > "$work/points.dat"
    cp "$ROOT/bench/export_line_series.qvp" "$work/line.qvp"
    declare -A cpu=() wall=()
    for ((r = 0; r < RUNS; r++)); do
        # Alternate the order so that no tool always runs on a warm or a cold machine.
        order=("${tools[@]}")
        ((r % 2)) && order=($(printf '%s\n' "${tools[@]}" | tac))
        for t in "${order[@]}"; do
            read -r c w < <(run "$t")
            cpu[$t]+="$c "
            wall[$t]+="$w "
        done
    done
    declare -A med=()
    for t in "${tools[@]}"; do
        med[$t]=$(printf '%s\n' ${cpu[$t]} | median)
        printf "%-9s %-17s %10s %10s\n" "$n" "$t" "${med[$t]}" "$(printf '%s\n' ${wall[$t]} | median)"
    done
    ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
    echo "  cpu time ratios:"
    echo "  ploxwin png / gnuplot-gd       = $(ratio "${med[ploxwin-png]}" "${med[gnuplot-gd]}")"
    echo "  ploxwin pdf / gnuplot-pdfcairo = $(ratio "${med[ploxwin-pdf]}" "${med[gnuplot-pdfcairo]}")"
    echo "  ploxwin svg / gnuplot-svg      = $(ratio "${med[ploxwin-svg]}" "${med[gnuplot-svg]}")"
    echo "  ploxwin png / matplotlib       = $(ratio "${med[ploxwin-png]}" "${med[matplotlib]}")"
    if [ -x /usr/bin/time ]; then
        peak=$(/usr/bin/time -f %M "$PLOXWIN" --export "$work/p.png" "$work/line.qvp" --dpi 150 2>&1 >/dev/null | tail -1)
        echo "  ploxwin png peak memory        = $peak kB"
    fi
    unset cpu wall med
done
