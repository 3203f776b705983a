#!/usr/bin/env bash
# Makes docs/screenshot.png and docs/search.png: builds and installs Quelora into a
# temporary program folder, lays out a small sample data folder there, starts the
# program under Xvfb on 15 March 2007 at 10:00 and photographs its window, then again
# with the search open on a word.
#
#   tools/screenshot.sh            build folder: build-screenshot
#   QUELORA_BUILD=build-x tools/screenshot.sh
#
# Needs xvfb, imagemagick, faketime, xdotool and fonts-liberation.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
build="${QUELORA_BUILD:-build-screenshot}"
out="$repo/docs/screenshot.png"

for tool in Xvfb import faketime xdotool iconv; do
    command -v "$tool" >/dev/null || {
        echo "screenshot.sh: $tool is missing (apt-get install xvfb imagemagick faketime xdotool)" >&2
        exit 1
    }
done

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUELORA_TESTS=OFF >/dev/null
fi
cmake --build "$build" >/dev/null
prog="$work/Quelora"
cmake --install "$build" --prefix "$prog" >/dev/null

# Sample data: files are Windows-1252 with CR LF line ends, as the program writes them.
put() { # put RELATIVE-PATH TEXT   (TEXT in UTF-8, lines separated by \n)
    mkdir -p "$(dirname "$prog/$1")"
    printf '%s' "$2" | sed 's/$/\r/' | head -c -1 | iconv -f UTF-8 -t WINDOWS-1252 >"$prog/$1"
}
put "dias/JUEVES, 15 de MARZO de 2007.txt" "Hoy he empezado el diario nuevo.
Por la mañana, reunión con el equipo del proyecto; a las 13:00 comida con Marta.

Comprar: pan, fruta, pilas para el mando.
Llamar al fontanero antes del viernes."
put "dias/LUNES, 12 de MARZO de 2007.txt" "Semana tranquila."
put "fiestas/19 de MARZO.txt" "San José (festivo en algunas comunidades)
"
put "recordatorio/22 de MARZO.txt" "Cumpleaños de Ana
"
put "recordatorio/15 de MARZO.txt" "Revisión del coche a las 17:30
"
[ -e "$prog/santoral/15 de MARZO.txt" ] || put "santoral/15 de MARZO.txt" "Santa Luisa de Marillac
"
put "direcciones/Todos/García López.txt" "García López
Marta
"
put "dias/VIERNES, 2 de FEBRERO de 2007.txt" "El fontanero no vino: mañana sin falta."
put "notas/2007-3-8--19-5" "Fontanero: 600 123 456 (Luis). Pide presupuesto por escrito."
put "direcciones/Todos/Fontanería Ruiz" "Fontanería Ruiz
Luis
C/ Mayor, 3
León
600 123 456


"

# A free display number.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

QT_QPA_PLATFORM=xcb NO_FAKE_STAT=1 faketime '2007-03-15 10:00:00' "$prog/quelora" >/dev/null 2>&1 &
app_pid=$!
window="$(timeout 30 xdotool search --sync --onlyvisible --name '^Quelora$' | head -n 1)"
sleep 1.5 # let the window paint itself
eval "$(xdotool getwindowgeometry --shell "$window")" # sets X, Y, WIDTH, HEIGHT

mkdir -p "$(dirname "$out")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
echo "wrote $out (${WIDTH}x${HEIGHT})"

# The search: Ctrl+F and a word.
search="$repo/docs/search.png"
xdotool windowfocus "$window" 2>/dev/null || true # no window manager: give it the keyboard
sleep 0.2
xdotool key ctrl+f
sleep 0.3
xdotool type --delay 40 "fontanero"
sleep 0.8
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$search"
echo "wrote $search"
