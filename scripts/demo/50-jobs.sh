# Scheduled operations and FTP: a scheduler slot for the next minute that starts a restore
# batch file (it only writes a line into demo/restore-ran.txt), and an FTP upload request
# carried out at the first tick against a local FTP server. Sourced by scripts/run.sh with
# DEMO and VALICO_ARGS set.

# Slot key of the next minute in Italian: LUN MAR MER GIO VEN SAB DOM.
days=(DOM LUN MAR MER GIO VEN SAB)
next=$(date -d '+1 minute' '+%w %H%M')
slot="${days[${next% *}]}#${next#* }"
mkdir -p "$DEMO/drive_c/CALDERA"
printf '[VARIE]\r\n%s=2#DEMO#\r\n' "$slot" > "$DEMO/drive_c/CALDERA/_Schedulatore.ini"
printf '[Varie]\r\n' > "$DEMO/drive_c/CALDERA/_Local.ini"
# On Linux the installation's batch files are shell scripts.
cat > "$DEMO/RestoreBorea.bat" <<BAT
echo "restore started at \$(date '+%H:%M:%S')" >> "$DEMO/restore-ran.txt"
BAT
printf 'OP_Attive=-1\r\nPostazione=SERVER\r\n' >> "$DEMO/_Valico.ini"

# A local FTP server (pyftpdlib) that lives as long as Valico: the watcher ends it when the
# process that becomes Valico (this shell, replaced by exec) is gone.
if /usr/bin/python3 -c 'import pyftpdlib' 2>/dev/null; then
  ftp_port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  mkdir -p "$DEMO/ftp-server" "$DEMO/drive_c/Uscita"
  printf 'Vendite del giorno\r\n' > "$DEMO/drive_c/Uscita/vendite.txt"
  valico_pid=$$
  (
    /usr/bin/python3 -m pyftpdlib -i 127.0.0.1 -p "$ftp_port" -d "$DEMO/ftp-server" \
      -u valico -P demo -w >/dev/null 2>&1 &
    server=$!
    while kill -0 "$valico_pid" 2>/dev/null; do sleep 1; done
    kill "$server" 2>/dev/null
  ) &
  printf 'FTP_Indirizzo=127.0.0.1:%s\r\nFTP_User=valico\r\nFTP_Pw=demo\r\n' "$ftp_port" >> "$DEMO/_Valico.ini"
  printf 'FTP_Directory=C:\\Uscita\\\r\nFTP_NomeFile=vendite.txt\r\nFTP_Azione=1\r\n' >> "$DEMO/_Valico.ini"
  echo "FTP: vendite.txt goes to $DEMO/ftp-server at the first tick (see FTP_Esito in _Valico.ini)."
fi
echo "Scheduler: slot $slot starts $DEMO/RestoreBorea.bat (it writes $DEMO/restore-ran.txt)."
