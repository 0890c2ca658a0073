# Pre-bill: a "DPT-282" serial pre-bill printer on COM5. The port is one end of a
# pseudo-terminal made by socat; everything the printer would receive is appended to
# $DEMO/prebill-printer.txt. Sourced by scripts/run.sh with DEMO set.
printf 'Cort_Printer=DPT-282\r\nCort_Com=5\r\nCort_Sett=9600,N,8,1\r\n' >> "$DEMO/_Valico.ini"

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

# A pre-bill, dropped once the start-up (which clears the drop folder) is over.
mkdir -p "$DEMO/CortBorea"
printf 'N1:00:ignored by this printer\r\nN2:01:Tavolo 5\r\nN2:01:Pizza margherita   7,50\r\nN2:01:Birra media        4,00\r\nN2:01:Totale            11,50\r\n' \
  > "$DEMO/preconto-demo.txt"
( sleep 2; mv "$DEMO/preconto-demo.txt" "$DEMO/CortBorea/" ) >/dev/null 2>&1 &

echo "Pre-bill printer (DPT-282 on COM5): what it receives is appended to"
echo "    $DEMO/prebill-printer.txt   (view with: cat -A; ^M\$ is CR LF, ^[m the cut)"
echo "  drop pre-bill jobs (\"N2:01:text\" lines, CR LF) into $DEMO/CortBorea; test print:"
echo "    build/release/valico ${VALICO_ARGS[*]} prebill-test"
