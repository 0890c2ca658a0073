# Fiscal register: a sample Globe-style driver that "prints" each receipt into
# demo/Scontrini and answers with its output file. Sourced by scripts/run.sh with DEMO set.
printf '%s\r\n' \
  'MF_Active=-1' \
  'MF_Type=106 - RCH GLOBE' \
  'MF_Prot=GLOBE DRIVER - 106' \
  'MF_File=C:\RCH\Scontrino.txt' \
  'MF_File_Output=C:\RCH\Esito.txt' \
  'MF_Driver=C:\Programmi\GlobeDriver\GlobeDriver.bat' \
  'MF_Ritardo=10' \
  'MF_ChkLog=-1' >> "$DEMO/_Valico.ini"

mkdir -p "$DEMO/drive_c/RCH" "$DEMO/drive_c/Valico" "$DEMO/drive_c/Programmi/GlobeDriver" \
  "$DEMO/Scontrini"
# On Linux a .bat runs through /bin/sh, so the installation's driver script is shell.
cat > "$DEMO/drive_c/Programmi/GlobeDriver/GlobeDriver.bat" <<EOF
# Demo fiscal driver: takes the receipt from its input file, "prints" it, answers.
in="$DEMO/drive_c/RCH/Scontrino.txt"
out="$DEMO/drive_c/RCH/Esito.txt"
[ -f "\$in" ] || exit 1
sleep 0.3  # the register prints
printed="$DEMO/Scontrini/scontrino-\$(date +%Y%m%d-%H%M%S-%N).txt"
cp "\$in" "\$printed" && rm -f "\$in"
printf 'OK\r\n' > "\$out.tmp" && mv "\$out.tmp" "\$out"
echo "GlobeDriver (demo): printed \$printed"
EOF

# Two sample receipts once Valico is up; drop more into demo/Borea while it runs.
(
  sleep 3
  printf 'VENDITA;CAFFE;1;1,20\r\nTOTALE;1,20\r\n' > "$DEMO/Borea/scontrino-001.txt"
  printf 'VENDITA;CORNETTO;2;2,40\r\nTOTALE;2,40\r\n' > "$DEMO/Borea/scontrino-002.txt"
) &
echo "Fiscal receipts: drop them into $DEMO/Borea; the demo driver prints them into $DEMO/Scontrini" \
  "and logs each failed hand-off in $DEMO/drive_c/Valico/MF.log."
