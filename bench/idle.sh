#!/usr/bin/env bash
# An idle Valico beside a minimal poller (bench/minimal_poller.c: stats two folders and reads
# one small file every 500 ms), both measured in this run: system calls per tick (strace -c
# over the window), CPU per tick (the kernel's own count in /proc/PID/schedstat, taken without
# strace), resident memory, and whether _Valico.ini was rewritten.
# Valico runs as the review ran it: fiscal register and DPT-282 pre-bills on, an ASEM display
# whose Display.txt is missing.
#   [BENCH_HOME=DIR] bench/idle.sh [BUILD_DIR] [SECONDS] [OTHER_VALICO]
# BENCH_HOME puts the program folder there (e.g. /var/lib/valico-bench, as deep as a real
# install's; removed at the end), with the poller's and the other build's folders beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
secs=${2:-30}
other=${3:-}
ticks=$((secs * 2))
work=$(mktemp -d)
home=${BENCH_HOME:-$work/valico}
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; sleep 1; rm -rf "$work" "$home" "$home-poller" "$home-other"' EXIT

cpu_ns() {  # CPU time of every thread of a process, in ns
  local total=0
  for t in /proc/"$1"/task/*/schedstat; do total=$((total + $(cut -d' ' -f1 "$t"))); done
  echo "$total"
}
rss_kb() { awk '/^VmRSS/ {print $2}' /proc/"$1"/status; }
calls() {  # system calls of a process over the window
  strace -c -f -p "$1" -o "$work/strace.$1" &
  local tracer=$!
  sleep "$secs"
  kill -INT "$tracer"
  wait "$tracer" 2>/dev/null || true
  awk '$NF == "total" {print $4}' "$work/strace.$1"  # % time, seconds, usecs/call, calls
}

start_valico() {  # binary, home; sets $started to its process id
  mkdir -p "$2/drive_c/CALDERA/Casio" "$2/drive_c/Valico"
  printf '[Varie]\r\nBorea_Setting=0\r\nMF_Active=-1\r\nMF_Prot=CASIO/DITRON - 24\r\nMF_File=C:\\CALDERA\\Casio\\CAS.txt\r\nMF_File_Output=C:\\CALDERA\\Casio\\OUT.txt\r\nCort_Active=-1\r\nCort_Printer=DPT-282\r\nCort_COM=5\r\nCort_Sett=9600,N,8,1\r\nDisplay_Active=-1\r\nDisplay_Type=ASEM\r\nDisplay_File=C:\\Valico\\Display.txt\r\nDisplay_COM=6\r\nDisplay_Parametri=9600,N,8,1\r\n' >"$2/_Valico.ini"
  "$1" --home "$2" --com 5=/dev/null --com 6=/dev/null run >/dev/null 2>&1 &
  started=$!
  pids+=("$started")
  for _ in $(seq 100); do grep -q RunTimeBorea "$2/_Valico.ini" 2>/dev/null && break; sleep 0.1; done
  sleep 2  # past the start-up and the folders' fresh time stamps
}

measure() {  # name, pid, [settings file]
  local c0 c1 n stamp0 stamp1=""
  [[ -n ${3:-} ]] && stamp0=$(stat -c '%i %Y %s' "$3")
  c0=$(cpu_ns "$2"); sleep "$secs"; c1=$(cpu_ns "$2")
  n=$(calls "$2")
  [[ -n ${3:-} ]] && stamp1=$(stat -c '%i %Y %s' "$3")
  local rewrites="-"
  [[ -n ${3:-} ]] && { [[ $stamp0 == "$stamp1" ]] && rewrites=0 || rewrites="yes"; }
  printf '%-8s %10.1f %12.1f %12s %10s\n' "$1" "$(echo "$n / $ticks" | bc -l)" \
    "$(echo "($c1 - $c0) / $ticks / 1000" | bc -l)" "$(rss_kb "$2")" "$rewrites"
  echo "$(echo "($c1 - $c0) / $ticks" | bc -l)" >"$work/cpu.$1"
}

mkdir -p "$home-poller/a" "$home-poller/b"
printf '[Varie]\r\nMF_Vuoto=-1\r\nCort_Vuoto=-1\r\n' >"$home-poller/_Valico.ini"
"$build/minimal_poller" "$home-poller/a" "$home-poller/b" "$home-poller/_Valico.ini" >/dev/null 2>&1 &
pids+=($!)
poller=$!
start_valico "$build/valico" "$home"
valico=$started
if [[ -n $other ]]; then
  start_valico "$other" "$home-other"
  old=$started
fi

echo "program folder $home"
echo "idle, $ticks ticks of 500 ms each     calls/tick  CPU µs/tick  RSS kB   ini rewrites"
measure poller "$poller"
measure valico "$valico" "$home/_Valico.ini"
if [[ -n $other ]]; then measure other "$old" "$home-other/_Valico.ini"; fi
printf 'CPU per tick, valico / poller: %.2f\n' "$(echo "$(cat "$work/cpu.valico") / $(cat "$work/cpu.poller")" | bc -l)"
