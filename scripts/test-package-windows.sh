#!/usr/bin/env bash
# Builds the Windows installer and runs it under Wine, in a throwaway prefix inside the build
# folder: a silent install into a chosen folder (with its Start-menu entries), an upgrade over
# a running copy that holds settings and a job, an upgrade that closes the tray program (on a
# virtual display), a silent uninstall that keeps them and one that removes them. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --check >/dev/null || scripts/install-deps.sh

start=$(date +%s)
cmake --workflow --preset installer
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
setup=build/windows/valico-setup-$version.exe

export WINEPREFIX="$PWD/build/windows/installer-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
wineserver --kill >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
trap 'wineserver --kill >/dev/null 2>&1 || true' EXIT
wineboot --init >/dev/null 2>&1

fail() {
  echo "test-package-windows: FAIL: $*" >&2
  exit 1
}

c=$WINEPREFIX/drive_c
dir=$c/Negozio/Valico
win_dir='C:\Negozio\Valico'
menu_entry="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Valico.lnk"
check_entry="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Valico/Verifica installazione.lnk"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Valico'

# The data of one registry value; nothing when it is not there.
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 \{4\}REG_[A-Z_]* \{4\}//p"
}

# Waits up to 20 s for a condition.
wait_for() {
  for _ in $(seq 100); do
    if eval "$1"; then return 0; fi
    sleep 0.2
  done
  return 1
}

# Fresh install into a chosen folder.
wine "$setup" /S "/D=$win_dir" || fail "silent install exited with $?"
cmp -s "$dir/valico.exe" build/windows/valico.exe || fail "valico.exe not installed"
[[ -f "$dir/uninstall.exe" && -f "$menu_entry" ]] || fail "no uninstaller or Start-menu entry"
# "Verifica installazione": cmd.exe /k (the console stays open) running valico.exe doctor. Its
# command line, with /c and --version in their place, shows that the console gets the windowed
# program's output before it goes on.
[[ -f "$check_entry" ]] || fail "no Start-menu entry Verifica installazione"
strings -a "$check_entry" | grep -qi 'system32\\cmd.exe$' || fail "Verifica installazione does not run cmd.exe"
check_args=$(strings -a -el "$check_entry" | grep -o -- '/k .*doctor$') ||
  fail "Verifica installazione runs: $(strings -a -el "$check_entry" | xargs)"
[[ "$check_args" == *"\"$win_dir\\valico.exe\" doctor" ]] || fail "Verifica installazione runs $check_args"
# (through a batch file: Wine would escape the quotes of a command line given as an argument)
check_args=${check_args#/k }
printf '@%s\r\n@echo after\r\n' "${check_args% doctor} --version" >"$c/check.bat"
out=$(wine cmd /c 'C:\check.bat' 2>/dev/null | tr -d '\r' | xargs)
[[ "$out" == "valico $version after" ]] || fail "the entry's command line printed \"$out\""
rm "$c/check.bat"
[[ "$(reg_value "$run_key" Valico)" == "\"$win_dir\\valico.exe\"" ]] || fail "autostart: $(reg_value "$run_key" Valico)"
for pair in "DisplayName=Valico" "DisplayVersion=$version" "InstallLocation=$win_dir" \
  "UninstallString=\"$win_dir\\uninstall.exe\"" "QuietUninstallString=\"$win_dir\\uninstall.exe\" /S"; do
  [[ "$(reg_value "$uninstall_key" "${pair%%=*}")" == "${pair#*=}" ]] || fail "uninstall entry: wanted $pair"
done

# Upgrade, into the installed folder without naming it, while a copy of the installed program
# runs (its home elsewhere, so it touches none of the files below) and a copy from another
# folder runs too: the first is ended, the one from the other folder keeps running.
printf '[VARIE]\r\nMF_Prot=FPMate - 29\r\n' >"$dir/_Valico.ini"
printf '[Anteprima]\r\nPorta=Ne01:\r\n' >"$dir/_Stampanti.ini"
mkdir -p "$dir/Borea" "$c/Altro"
echo "job" >"$dir/Borea/job.txt"
cp "$dir/valico.exe" "$c/Altro/valico.exe"
wine "$win_dir\\valico.exe" --home 'C:\run1' run >/dev/null 2>&1 &
installed_copy=$!
wine 'C:\Altro\valico.exe' --home 'C:\run2' run >/dev/null 2>&1 &
other_copy=$!
wait_for '[[ -f $c/run1/_Valico.ini && -f $c/run2/_Valico.ini ]]' || fail "the running copies did not start"
wine "$setup" /S || fail "upgrade exited with $?"
wait_for '! kill -0 $installed_copy 2>/dev/null' || fail "the upgrade left the running copy running"
kill -0 "$other_copy" 2>/dev/null || fail "the upgrade ended a copy in another folder"
kill "$other_copy"
wait "$other_copy" "$installed_copy" 2>/dev/null || true
[[ "$(cat "$dir/_Valico.ini")" == $'[VARIE]\r\nMF_Prot=FPMate - 29\r' ]] || fail "the upgrade changed _Valico.ini"
[[ -f "$dir/_Stampanti.ini" && "$(cat "$dir/Borea/job.txt")" == job ]] || fail "the upgrade lost settings or a job"

# The tray program, as the autostart runs it, is asked to close by the upgrade and ends in
# order (its log says so; a copy ended by force writes nothing more). Its window needs a
# display: a virtual one, with Wine started afresh on it and ended before it goes.
wineserver --kill >/dev/null 2>&1 || true
export setup win_dir c
xvfb-run --auto-servernum bash -c '
  wine "$win_dir\\valico.exe" --home "C:\\tray" >/dev/null 2>&1 &
  tray=$!
  for _ in $(seq 100); do grep -qs "started in" "$c/tray/Valico.log" && break; sleep 0.2; done
  wine "$setup" /S
  for _ in $(seq 100); do kill -0 $tray 2>/dev/null || break; sleep 0.2; done
  wineserver --kill'
grep -q "Valico stopped" "$c/tray/Valico.log" || fail "the upgrade did not close the tray program in order: $(cat "$c/tray/Valico.log")"

# Silent uninstall (in place, so it ends before we look): the program goes, settings stay.
wine "$win_dir\\uninstall.exe" /S "_?=$win_dir" || fail "uninstall exited with $?"
[[ ! -e "$dir/valico.exe" && ! -e "$menu_entry" && ! -e "$(dirname "$check_entry")" ]] ||
  fail "uninstall left the program or its menu entries"
[[ -z "$(reg_value "$run_key" Valico)" ]] || fail "uninstall left the autostart"
! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "uninstall left its registry entry"
[[ -f "$dir/_Valico.ini" && -f "$dir/_Stampanti.ini" && -f "$dir/Borea/job.txt" ]] ||
  fail "uninstall removed settings or a job"
rm "$dir/uninstall.exe"

# Reinstall, then uninstall with /REMOVESETTINGS as Windows runs it (from a copy, returning at
# once): everything the program writes goes, and a file an installer put there stays.
wine "$setup" /S "/D=$win_dir" || fail "reinstall exited with $?"
mkdir -p "$dir/IN" "$dir/CortIN/old" "$dir/TypeBatch"
touch "$dir/Valico.log" "$dir/Valico.1.log" "$dir/Dial.bat" "$dir/CortIN/old/job.txt" "$dir/TypeBatch/ValicoType.bat"
wine "$win_dir\\uninstall.exe" /S /REMOVESETTINGS || fail "uninstall /REMOVESETTINGS exited with $?"
wait_for '[[ "$(cd "$dir" && find . | sort | xargs)" == ". ./TypeBatch ./TypeBatch/ValicoType.bat" ]]' ||
  fail "after uninstall /REMOVESETTINGS the folder holds: $(cd "$dir" && find . | xargs)"

echo "test-package-windows: $(stat -c %s "$setup") bytes, built and checked in $(($(date +%s) - start)) s"
