#!/usr/bin/env bash
# Takes the README's screenshot of the Linux configuration window
# (docs/finestra-configurazione-linux.png): valico-gui (build/dev) on a virtual display without
# a tray, where the window stays in view, with the settings scripts/screenshot-windows.sh uses.
# Look at the picture before committing it.
set -euo pipefail
cd "$(dirname "$0")/.."

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
printf '%s\r\n' '[Varie]' 'Borea_Directory=C:\CALDERA' 'Borea_Setting=0' 'Display_Active=-1' \
  'Display_File=C:\Valico\Display.txt' 'Display_Type=ASEM' 'Display_COM=1' \
  'Display_Parametri=9600,N,8,1' 'MF_Active=-1' 'MF_File=C:\Programmi\GlobeDriver\Scontrino.txt' \
  'MF_Driver=C:\Programmi\GlobeDriver\GlobeDriver.exe' \
  'MF_File_Output=C:\Programmi\GlobeDriver\Esito.txt' 'MF_Type=106 - RCH GLOBE' \
  'MF_Prot=GLOBE DRIVER - 106' 'MF_COM=2' 'MF_Parametri=9600,N,8,1' 'MF_Ritardo=20' \
  'RF_Active=-1' 'RF_File=C:\CALDERA\Ricevuta.txt' 'RF_Seriale=3' 'RF_Righe=41' \
  'CORT_Active=-1' 'CORT_Printer=DPT-282' 'CORT_COM=5' 'CORT_File=C:\CALDERA\LogoCassa.bmp' \
  >"$home/_Valico.ini"
export home
xvfb-run --auto-servernum --server-args="-screen 0 1400x800x24" bash -c '
  build/dev/valico-gui --home "$home" gui >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 100); do grep -qs "started in" "$home/Valico.log" && break; sleep 0.2; done
  sleep 2
  xwd -root -display "$DISPLAY" | convert xwd:- -trim +repage docs/finestra-configurazione-linux.png
  kill $pid; wait $pid || true'
echo "screenshot-linux: docs/finestra-configurazione-linux.png"
