#!/usr/bin/env bash
# How many times the start-up opens _Valico.ini (strace), up to the log line that ends it
# ("... started in ..."): on the settings bench/idle.sh uses, at a first start (the load
# writes the keys it settles: each write reads the file again under the writers' lock, as it
# must to keep what others wrote) and at a start that finds everything stored (no write).
# Beside it, the floor: one open.
#   bench/startup_reads.sh [BUILD_DIR] [OTHER_VALICO]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
other=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

settings() {
  mkdir -p "$1/drive_c/CALDERA/Casio" "$1/drive_c/Valico"
  printf '[Varie]\r\nBorea_Setting=0\r\nMF_Active=-1\r\nMF_Prot=CASIO/DITRON - 24\r\nMF_File=C:\\CALDERA\\Casio\\CAS.txt\r\nMF_File_Output=C:\\CALDERA\\Casio\\OUT.txt\r\nCort_Active=-1\r\nCort_Printer=DPT-282\r\nCort_COM=5\r\nCort_Sett=9600,N,8,1\r\nDisplay_Active=-1\r\nDisplay_Type=ASEM\r\nDisplay_File=C:\\Valico\\Display.txt\r\nDisplay_COM=6\r\nDisplay_Parametri=9600,N,8,1\r\n' >"$1/_Valico.ini"
}

# "OPENS (WRITES)" of _Valico.ini before the start-up's last log line.
opens() {  # valico, home
  strace -f -e trace=openat,rename,write -s 300 -o "$work/trace" \
    "$1" --home "$2" --com 5=/dev/null --com 6=/dev/null run --ticks 1 >/dev/null 2>&1
  awk '/started in/ {exit} /openat\(.*\/_Valico\.ini"/ {n++}
       /rename\(.*, ".*\/_Valico\.ini"/ {w++} END {printf "%d (%d)", n, w}' "$work/trace"
}

printf '%-36s %-16s %-16s\n' "opens (writes) of _Valico.ini" "first start" "later starts"
for bin in "$build/valico" $other; do
  home="$work/home"
  rm -rf "$home" && settings "$home"
  first=$(opens "$bin" "$home")
  later=$(opens "$bin" "$home")
  printf '%-36s %-16s %-16s\n' "$bin" "$first" "$later"
done
printf '%-36s %-16s %-16s\n' "floor (one reading)" "1" "1"
