#!/usr/bin/env bash
# The desktop program idle, each beside its floor, all running at once in this run:
#   gui      valico-gui on an X server (Xvfb) whose notification area (tray_host) takes its
#            icon: the window is never shown
#   run      the headless `valico run` on the same settings: the system calls a tick needs
#   bare     an empty Qt window shown (bare_qt_window): the memory floor of a Qt program
#   gui-off  valico-gui on the offscreen platform, which has no tray: its window is built and
#            kept minimised, so the widgets' fonts and text shaping are in
#   bare-off the empty Qt window on the offscreen platform
#   other    OTHER_GUI (another build of valico-gui, e.g. the previous one) as `gui` is run
# For each: system calls per 500 ms tick (strace -c over the window), CPU per tick (the
# kernel's count in /proc/PID/task/*/schedstat, taken without strace), private memory (the
# pages only this process maps, clean and dirty, from /proc/PID/smaps_rollup: the Qt
# libraries' pages that another program here uses too count as shared), of it the dirty part
# (heap, stacks, written pages: what the process alone holds and the system cannot drop),
# the resident size, and how many font files it has open (none until text is drawn).
#   bench/gui_idle.sh [BUILD_DIR] [SECONDS] [OTHER_GUI]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
secs=${2:-20}
other=${3:-}
ticks=$((secs * 2))
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; sleep 1; rm -rf "$work"' EXIT

cpu_ns() {  # CPU time of every thread of a process, in ns
  local total=0
  for t in /proc/"$1"/task/*/schedstat; do total=$((total + $(cut -d' ' -f1 "$t"))); done
  echo "$total"
}
private_kb() {  # clean + dirty, dirty
  awk '/^Private_Clean:/ {c = $2} /^Private_Dirty:/ {d = $2} END {print c + d, d}' \
    /proc/"$1"/smaps_rollup
}
rss_kb() { awk '/^VmRSS/ {print $2}' /proc/"$1"/status; }
calls_per_tick() {  # strace writes no total for a process that made no call
  local n
  n=$(awk '$NF == "total" {print $4}' "$work/strace.$1")
  echo "${n:-0} / $ticks" | bc -l
}
fonts() { grep -cE '\.(ttf|otf|pfb|pcf)(\.gz)?$' /proc/"$1"/maps || true; }

settings() {  # home: the settings idle.sh runs with (fiscal register, pre-bills, display)
  mkdir -p "$1/drive_c/CALDERA/Casio" "$1/drive_c/Valico"
  printf '[Varie]\r\nBorea_Setting=0\r\nMF_Active=-1\r\nMF_Prot=CASIO/DITRON - 24\r\nMF_File=C:\\CALDERA\\Casio\\CAS.txt\r\nMF_File_Output=C:\\CALDERA\\Casio\\OUT.txt\r\nCort_Active=-1\r\nCort_Printer=DPT-282\r\nCort_COM=5\r\nCort_Sett=9600,N,8,1\r\nDisplay_Active=-1\r\nDisplay_Type=ASEM\r\nDisplay_File=C:\\Valico\\Display.txt\r\nDisplay_COM=6\r\nDisplay_Parametri=9600,N,8,1\r\n' >"$1/_Valico.ini"
}

declare -A pid
start() {  # name, then the command with its environment
  local name=$1
  shift
  env "$@" >"$work/$name.out" 2>&1 &
  pid[$name]=$!
  pids+=("$!")
}
valico_args() { echo "--home $work/$1 --com 5=/dev/null --com 6=/dev/null"; }

# A display number nobody uses, and its notification area.
for n in $(seq 90 120); do [[ -e /tmp/.X11-unix/X$n ]] || break; done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=("$!")
for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$n ]] && break; sleep 0.1; done
DISPLAY=":$n" "$build/tray_host" >"$work/docked" &
pids+=("$!")
sleep 0.5

for name in gui run gui-off other; do settings "$work/$name"; done
# shellcheck disable=SC2046
start gui DISPLAY=":$n" "$build/valico-gui" $(valico_args gui) gui
# shellcheck disable=SC2046
start run "$build/valico" $(valico_args run) run
start bare DISPLAY=":$n" "$build/bare_qt_window"
# shellcheck disable=SC2046
start gui-off QT_QPA_PLATFORM=offscreen "$build/valico-gui" $(valico_args gui-off) gui
start bare-off QT_QPA_PLATFORM=offscreen "$build/bare_qt_window"
names=(gui run bare gui-off bare-off)
if [[ -n $other ]]; then
  # shellcheck disable=SC2046
  start other DISPLAY=":$n" "$other" $(valico_args other) gui
  names+=(other)
fi
sleep 4  # past the start-ups and the folders' fresh time stamps

declare -A cpu0
for name in "${names[@]}"; do cpu0[$name]=$(cpu_ns "${pid[$name]}"); done
sleep "$secs"
declare -A cpu
for name in "${names[@]}"; do cpu[$name]=$(($(cpu_ns "${pid[$name]}") - cpu0[$name])); done
declare -A mem
for name in "${names[@]}"; do
  mem[$name]="$(private_kb "${pid[$name]}") $(rss_kb "${pid[$name]}") $(fonts "${pid[$name]}")"
done

tracers=()
for name in "${names[@]}"; do
  strace -c -f -p "${pid[$name]}" -o "$work/strace.$name" 2>/dev/null &
  tracers+=("$!")
done
sleep "$secs"
kill -INT "${tracers[@]}"
wait "${tracers[@]}" 2>/dev/null || true

echo "idle, $ticks ticks of 500 ms each, load $(cut -d' ' -f1 /proc/loadavg)"
echo "           calls/tick  CPU µs/tick  private kB  of it dirty  RSS kB  fonts"
for name in "${names[@]}"; do
  read -r private dirty rss font_files <<<"${mem[$name]}"
  printf '%-9s %11.1f %12.1f %11s %12s %7s %6s\n' "$name" "$(calls_per_tick "$name")" \
    "$(echo "${cpu[$name]} / $ticks / 1000" | bc -l)" "$private" "$dirty" "$rss" "$font_files"
done
printf 'gui - run, system calls per tick: %.1f\n' "$(echo "$(calls_per_tick gui) - $(calls_per_tick run)" | bc -l)"
read -r gui_private gui_dirty _ <<<"${mem[gui]}"
read -r bare_private bare_dirty _ <<<"${mem[bare]}"
printf 'gui / bare, private memory: %.2f (dirty %.2f)\n' \
  "$(echo "$gui_private / $bare_private" | bc -l)" "$(echo "$gui_dirty / $bare_dirty" | bc -l)"
echo "tray icons docked: $(wc -l <"$work/docked")"
