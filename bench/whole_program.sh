#!/usr/bin/env bash
# The real program timed as a whole under Xvfb, against an empty Qt 6 window built in
# the same tree (the floor of any Qt Widgets program on this machine):
#   launch to first window shown (mapped), launch to its first paint on screen, and
#   peak memory (/usr/bin/time -v, maximum resident set size),
# in interleaved runs (the order alternates), medians printed at the end. The program is
# also run on an empty data folder, to tell its own share from the data's, and the empty
# window once more showing one line of text (the floor of any window that shows text).
#
# usage: bench/whole_program.sh [BUILD_DIR] [RUNS] [DIARY_SCALE]
#   BUILD_DIR    a Release build with -DQUELORA_BENCH=ON (default: build-bench beside bench/)
#   RUNS         measured runs of each program (default 15; one warm-up run each first)
#   DIARY_SCALE  1, 10 or 100 (default 100: 30 years of pages, 2,000 cards, 10,000 notes)
# QUELORA_WHOLE_HOLD_MS=1000 keeps each program open that long after its first paint
# before it is closed: the peak then takes in what loads just after the paint.
# Needs Xvfb and GNU time (Debian: xvfb, time).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build-bench}" && pwd)
runs=${2:-15}
scale=${3:-100}

for tool in "$build/bench/quelora_launchwatch" "$build/bench/quelora_datagen" "$build/bench/empty_qt_window" \
    "$build/src/app/quelora" /usr/bin/time; do
    [ -x "$tool" ] || { echo "missing $tool (build with -DQUELORA_BENCH=ON)" >&2; exit 2; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is not installed" >&2; exit 2; }

work=$(mktemp -d /tmp/quelora-whole.XXXXXX)
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# The program folder: the binary beside its large data folder, as installed.
"$build/bench/quelora_datagen" "$work/prog" --scale "$scale"
cp "$build/src/app/quelora" "$work/prog/"
mkdir -p "$work/empty" "$work/runtime" "$work/nodata"
cp "$build/src/app/quelora" "$work/nodata/"
cp "$build/bench/empty_qt_window" "$work/empty/"
chmod 700 "$work/runtime"

# A display number no other server uses.
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -br >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
[ -e "/tmp/.X11-unix/X$n" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }

export DISPLAY=":$n" XDG_RUNTIME_DIR="$work/runtime" LC_ALL=C.UTF-8
unset QT_QPA_PLATFORM

results="$work/results"
: >"$results"
run_one() { # name executable [arguments]
    local out rss name=$1
    shift
    out=$("$build/bench/quelora_launchwatch" --timeout 30 --hold "${QUELORA_WHOLE_HOLD_MS:-0}" -- /usr/bin/time -v -o "$work/time.txt" "$@") || {
        echo "run of $name failed: $out" >&2
        return 1
    }
    rss=$(awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }' "$work/time.txt")
    # mapped_ms=.. painted_ms=.. status=..
    echo "$name $(echo "$out" | sed -E 's/mapped_ms=([0-9.]+) painted_ms=([0-9.]+).*/\1 \2/') $rss" >>"$results"
}

echo "warm-up" >&2
run_one warmup "$work/prog/quelora"
run_one warmup "$work/empty/empty_qt_window"
run_one warmup "$work/nodata/quelora"
run_one warmup "$work/empty/empty_qt_window" --text
for i in $(seq "$runs"); do
    if [ $((i % 2)) -eq 1 ]; then
        run_one quelora "$work/prog/quelora"
        run_one empty "$work/empty/empty_qt_window"
        run_one nodata "$work/nodata/quelora"
        run_one text "$work/empty/empty_qt_window" --text
    else
        run_one text "$work/empty/empty_qt_window" --text
        run_one nodata "$work/nodata/quelora"
        run_one empty "$work/empty/empty_qt_window"
        run_one quelora "$work/prog/quelora"
    fi
done

median() { # name column
    awk -v n="$1" -v c="$2" '$1 == n { print $c }' "$results" | sort -n |
        awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
qm=$(median quelora 2) qp=$(median quelora 3) qr=$(median quelora 4)
em=$(median empty 2) ep=$(median empty 3) er=$(median empty 4)
nm=$(median nodata 2) np=$(median nodata 3) nr=$(median nodata 4)
tm=$(median text 2) tp=$(median text 3) tr=$(median text 4)
echo
echo "diary ${scale}x, $runs interleaved runs each, medians, held ${QUELORA_WHOLE_HOLD_MS:-0} ms (load: $(cut -d' ' -f1-3 /proc/loadavg))"
printf '%-26s %12s %14s %14s\n' program "mapped (ms)" "painted (ms)" "peak RSS (MB)"
printf '%-26s %12s %14s %14.1f\n' "quelora, ${scale}x folder" "$qm" "$qp" "$(echo "$qr / 1024" | bc -l)"
printf '%-26s %12s %14s %14.1f\n' empty_qt_window "$em" "$ep" "$(echo "$er / 1024" | bc -l)"
printf '%-26s %12.2f %14.2f %14.2f\n' "ratio" "$(echo "$qm / $em" | bc -l)" "$(echo "$qp / $ep" | bc -l)" \
    "$(echo "$qr / $er" | bc -l)"
printf '%-26s %12s %14s %14.1f\n' "quelora, empty folder" "$nm" "$np" "$(echo "$nr / 1024" | bc -l)"
printf '%-26s %12.2f %14.2f %14.2f\n' "ratio" "$(echo "$nm / $em" | bc -l)" "$(echo "$np / $ep" | bc -l)" \
    "$(echo "$nr / $er" | bc -l)"
printf '%-26s %12s %14s %14.1f\n' "empty window, one line" "$tm" "$tp" "$(echo "$tr / 1024" | bc -l)"
printf '%-26s %12.2f %14.2f %14.2f\n' "ratio" "$(echo "$tm / $em" | bc -l)" "$(echo "$tp / $ep" | bc -l)" \
    "$(echo "$tr / $er" | bc -l)"
if [ -n "${QUELORA_WHOLE_RAW:-}" ]; then cp "$results" "$QUELORA_WHOLE_RAW"; fi
