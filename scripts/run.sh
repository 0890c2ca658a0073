#!/usr/bin/env bash
# Builds Valico and runs it headless on the demo home demo/, whose settings make every device
# do visible work on virtual devices. Stop it with Ctrl+C. Extra arguments go to "run"
# (for example --ticks 20).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh --check >/dev/null || scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target valico

DEMO="$root/demo"
mkdir -p "$DEMO"
# The demo's settings and printers are written afresh at every run; each device adds its own
# below.
printf '[Varie]\r\nBorea_Setting=0\r\nBorea_Directory=C:\\CALDERA\r\n' > "$DEMO/_Valico.ini"
rm -f "$DEMO/_Stampanti.ini"
VALICO_ARGS=(--home "$DEMO" --locale it_IT)
for part in scripts/demo/*.sh; do
  # shellcheck source=/dev/null
  [[ -e "$part" ]] && source "$part"
done

echo
echo "Demo home: $DEMO"
echo "Drop pre-bill jobs into $DEMO/CortBorea; set Cort_Vuoto=0 in $DEMO/_Valico.ini to hold them."
echo
exec "$root/build/release/valico" "${VALICO_ARGS[@]}" run "$@"
