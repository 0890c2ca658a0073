# Customer display: an ASEM pole display on COM1, which is a virtual display whose two lines
# Valico writes to display-screen.txt. Sourced by scripts/run.sh with DEMO set.
printf 'Display_Active=-1\r\nDisplay_File=C:\\Valico\\Display.txt\r\nDisplay_Type=ASEM\r\nDisplay_COM=1\r\nDisplay_Parametri=9600,N,8,1\r\n' >> "$DEMO/_Valico.ini"
VALICO_ARGS+=(--com "1=display:$DEMO/display-screen.txt")
mkdir -p "$DEMO/drive_c/Valico"
printf '%20s\n%20s\n' '' '' > "$DEMO/display-screen.txt"
# A first update, shown at the first ticks.
printf 'Benvenuti da Valico\r\nCassa 1 - aperta\r\n' > "$DEMO/drive_c/Valico/Display.txt"
echo "Pole display (ASEM on COM1, virtual): watch it with"
echo "    watch -n 0.5 cat $DEMO/display-screen.txt"
echo "  and drop a display file (lines ended by CR LF) as"
echo "    printf 'CAFFE        1,20\\r\\nTOTALE       1,20\\r\\n' > $DEMO/drive_c/Valico/Display.txt"
