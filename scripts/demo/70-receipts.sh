# Receipt forms: the receipt job file C:\Borea\Ricevuta.txt (demo/drive_c/Borea/Ricevuta.txt)
# is printed in the layout of "EPSON TM-L90 Receipt" on a preview printer of that name, whose
# pages go to demo/Ricevute as PNG, PDF and a trace. A sample receipt of 30 lines is dropped
# before the start: it takes two pages. Sourced by scripts/run.sh with DEMO and VALICO_ARGS set.
printf '%s\r\n' \
  '[EPSON TM-L90 Receipt]' 'Porta=COM3:' 'Uscita=anteprima:Ricevute' 'Dpi=203' 'Larghezza=576' \
  >> "$DEMO/_Stampanti.ini"
printf '%s\r\n' 'RF_Active=-1' 'RF_Stampante=EPSON TM-L90 Receipt' 'RF_Seriale=3' \
  'RF_File=C:\Borea\Ricevuta.txt' >> "$DEMO/_Valico.ini"
mkdir -p "$DEMO/drive_c/Borea"
# Borea writes Windows-1252 with CR LF; a record whose text holds a comma stands in quotes.
iconv -f UTF-8 -t WINDOWS-1252 <<'JOB' | sed 's/$/\r/' > "$DEMO/drive_c/Borea/Ricevuta.txt"
I1 Trattoria Da Mario
I1 Via Roma 12 - 37121 Verona
"I1 P.IVA 01234567890, tel. 045 123456"
I2 Tavolo 7 - coperti 4
I2 Cameriere: Luca
"RR Coperto               4 x  2,00    8,00"
"RR Acqua naturale 1 l    2 x  2,50    5,00"
"RR Vino rosso 1/2 l      1 x  7,00    7,00"
"RR Antipasto misto       2 x  9,00   18,00"
"RR Bruschetta            2 x  4,50    9,00"
"RR Tagliatelle al ragù   1 x 10,00   10,00"
"RR Risotto all'Amarone   1 x 13,00   13,00"
"RR Bigoli con le sarde   1 x 11,00   11,00"
"RR Gnocchi di malga      1 x 10,50   10,50"
"RR Pastissada de caval   1 x 15,00   15,00"
"RR Baccalà alla vicentin 1 x 16,00   16,00"
"RR Tagliata di manzo     1 x 18,00   18,00"
"RR Contorno di stagione  2 x  4,00    8,00"
"RR Patate al forno       1 x  4,00    4,00"
"RR Tiramisù              2 x  5,50   11,00"
"RR Pandoro con crema     1 x  5,00    5,00"
"RR Sorbetto al limone    1 x  4,00    4,00"
"RR Caffè espresso        4 x  1,50    6,00"
"RR Grappa                2 x  4,00    8,00"
"RR Amaro                 1 x  4,00    4,00"
"RR ---------------------------------------"
"RR Subtotale                        190,50"
"RR Sconto fedeltà 10%               -19,05"
"RR ---------------------------------------"
"RR TOTALE EURO                      171,45"
"RR di cui IVA 10%                    15,59"
RR Pagamento: carta di credito
RR Grazie e arrivederci!
"RR "
RR Ricevuta n. 1234 del 06/12/2026
JOB
echo "Receipt forms: $DEMO/drive_c/Borea/Ricevuta.txt prints within a second on two pages in"
echo "    $DEMO/Ricevute (lay any job out without the service: valico render FILE --as MODEL)"
