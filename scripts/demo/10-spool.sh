# Spools: both spools open for the demo. Sourced by scripts/run.sh with DEMO set.
printf 'Cort_Active=-1\r\n' >> "$DEMO/_Valico.ini"
