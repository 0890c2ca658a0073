# Pre-bill: a "SAMSUNG" pre-bill printer, installed on COM5: as "SAMSUNG SRP-350 Preconto" (so
# family 350), whose documents become previews in $DEMO/Anteprime; the logo LogoCassa.bmp is
# in Borea's folder. COM5 is also a serial line, one end of a pseudo-terminal made by socat,
# that appends what it receives to $DEMO/prebill-printer.txt: the serial test print goes
# there. Sourced by scripts/run.sh with DEMO set.
printf 'Cort_Printer=SAMSUNG\r\nCort_Com=5\r\nCort_Sett=9600,N,8,1\r\nCort_Logo=-1\r\n' \
  >> "$DEMO/_Valico.ini"
printf '%s\r\n' '[SAMSUNG SRP-350 Preconto]' 'Porta=COM5:' 'Uscita=anteprima:Anteprime' \
  >> "$DEMO/_Stampanti.ini"
mkdir -p "$DEMO/drive_c/CALDERA"
python3 scripts/demo/make-logo.py "$DEMO/drive_c/CALDERA/LogoCassa.bmp"

rm -f "$DEMO/prebill-port"
: > "$DEMO/prebill-printer.txt"
# ignoreeof: Valico closes the port after each job; the reader keeps listening for the next.
socat -u "PTY,raw,echo=0,link=$DEMO/prebill-port,ignoreeof" \
  "OPEN:$DEMO/prebill-printer.txt,creat,append" 2>/dev/null &
prebill_socat=$!
# run.sh ends by exec'ing Valico in this same process: stop the reader when that process ends.
( while kill -0 $$ 2>/dev/null; do sleep 1; done; kill "$prebill_socat" 2>/dev/null ) \
  >/dev/null 2>&1 &
for _ in $(seq 50); do [[ -e "$DEMO/prebill-port" ]] && break; sleep 0.1; done
VALICO_ARGS+=(--com "5=$DEMO/prebill-port")

# A pre-bill in the field format (text#line kind#size#format: size 9 prints at 14 points, 8 at
# 10; format 13 is an EAN-13 barcode, kind 1 the end of the receipt; a line that stops early
# keeps the fields of the line before), dropped once the start-up (which clears
# the drop folder) is over.
mkdir -p "$DEMO/CortBorea"
printf '%s\r\n' \
  'TRATTORIA DA BOREA#0#9#0' 'Via del Valico 12 - Tel. 0123 456789#0#8#0' ' #0#8#0' \
  'Tavolo 5                     Coperti 2#0#8#0' 'Pizza margherita                  7,50' \
  'Birra media                       4,00' 'Coperto x2                        3,00' ' ' \
  'TOTALE EURO     14,50#0#9#0' ' #0#8#0' '8001234567897#0#9#13' \
  'Grazie e arrivederci!#0#8#0' '#1' > "$DEMO/preconto-demo.txt"
( sleep 2; mv "$DEMO/preconto-demo.txt" "$DEMO/CortBorea/" ) >/dev/null 2>&1 &

echo "Pre-bill printer (SAMSUNG on COM5:, \"SAMSUNG SRP-350 Preconto\"): the logo and each"
echo "  receipt become previews in $DEMO/Anteprime (PNG, PDF and a trace of every operation);"
echo "  drop pre-bill jobs (field format, CR LF lines) into $DEMO/CortBorea. The serial test"
echo "  print goes to COM5 and is appended to $DEMO/prebill-printer.txt:"
echo "    build/release/valico ${VALICO_ARGS[*]} prebill-test"
