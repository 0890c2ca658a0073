# Printers: a preview printer (the default) whose documents become PNG, PDF and a trace in
# demo/Anteprime, and an ESC/POS receipt roll whose bytes are appended to
# demo/rotolo-escpos.bin. The sample page goes to both at start. Sourced by scripts/run.sh
# with DEMO and VALICO_ARGS set.
printf '%s\r\n' \
  '[Anteprima]' 'Porta=Ne01:' 'Uscita=anteprima:Anteprime' 'Predefinita=-1' \
  '[SAMSUNG SRP-350 Receipt]' 'Porta=COM4:' 'Uscita=escpos:rotolo-escpos.bin' \
  >> "$DEMO/_Stampanti.ini"
: > "$DEMO/rotolo-escpos.bin"
"$root/build/release/valico" "${VALICO_ARGS[@]}" print-test
"$root/build/release/valico" "${VALICO_ARGS[@]}" print-test --printer "SAMSUNG SRP-350 Receipt"
echo "Printers (declared in $DEMO/_Stampanti.ini; list them with: valico --home $DEMO printers):"
echo "    preview: $(ls -t "$DEMO"/Anteprime/*.png | head -1)"
echo "    ESC/POS bytes of the receipt roll: $DEMO/rotolo-escpos.bin (view with: xxd)"
