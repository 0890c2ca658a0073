#!/usr/bin/env bash
# Builds the two Debian packages (valico, valico-gui) from the release preset and checks them:
# their files and control data (dpkg-deb), lintian (errors and warnings fail; it also checks the
# scripts' dependencies and that files in /etc are conffiles), the systemd unit (systemd-analyze
# verify, and its sandbox's exposure: 4.5 at most), and real installs: valico alone on a machine
# whose Qt was removed (it must bring none), then both with reinstall, removal and purge. Each
# install runs in a private mount namespace whose /etc, /var, /usr and /run are overlays in
# memory, so the machine is left as it was; that part needs root (or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "test-package-deb: FAIL: $*" >&2
  exit 1
}

# The checks inside a throwaway root (run by this script through unshare, as root): /etc, /var
# and /usr are overlays in memory.
if [[ "${1:-}" == --inside-* ]]; then
  mode=$1
  service_deb=$2
  gui_deb=$3
  log=$4
  tmp=$(mktemp -d)
  mount -t tmpfs tmpfs "$tmp"
  for d in etc var usr; do
    mkdir "$tmp/$d.up" "$tmp/$d.work"
    mount -t overlay overlay -o "lowerdir=/$d,upperdir=$tmp/$d.up,workdir=$tmp/$d.work" "/$d"
  done
  # No /run/systemd/system: the package's scripts leave the machine's systemd alone.
  mount -t tmpfs tmpfs /run
  home=/var/lib/valico
  # A machine that never had the package: a folder some earlier run of the program left there
  # goes (from the overlay only).
  rm -rf "$home"
  wants=/etc/systemd/system/multi-user.target.wants/valico.service
  installed() { dpkg-query -W -f='${db:Status-Status} ${Package}\n' "$@" 2>/dev/null | sed -n 's/^installed //p'; }

  if [[ $mode == --inside-headless ]]; then
    # A server or kiosk without a desktop: no Qt at all. The service's package brings none.
    mapfile -t qt < <(installed 'libqt6*')
    if [[ ${#qt[@]} -gt 0 ]]; then
      DEBIAN_FRONTEND=noninteractive apt-get remove -y -q "${qt[@]}" >>"$log" 2>&1 || fail "removing Qt failed"
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$service_deb" >>"$log" 2>&1 || fail "apt-get install of valico without Qt failed"
    [[ -z "$(installed 'libqt6*')" ]] || fail "valico brought Qt: $(installed 'libqt6*' | xargs)"
    rc=0
    err=$(valico --home "$home" gui 2>&1) || rc=$?
    [[ $rc == 1 && "$err" == *"install the package valico-gui"* ]] || fail "valico gui without valico-gui: $rc, $err"
    man -w valico >/dev/null && man valico 2>/dev/null | grep -q "doctor" || fail "man valico does not show the manual page"
    runuser -u valico -- valico --home "$home" run --ticks 1 >>"$log" 2>&1 || fail "the service's command failed without Qt"
    exit 0
  fi

  # The README's command installs them.
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$service_deb" "$gui_deb" >>"$log" 2>&1 || fail "apt-get install failed"
  IFS=: read -r _ _ _ _ _ user_home shell <<<"$(getent passwd valico)" || fail "no user valico"
  [[ "$user_home" == "$home" && "$shell" == */nologin ]] || fail "user valico: home $user_home, shell $shell"
  groups=" $(id -nG valico) "
  [[ "$groups" == *" dialout "* && "$groups" == *" lp "* ]] || fail "valico is in groups$groups"
  [[ "$(stat -c '%U:%G %a' "$home")" == "valico:valico 2770" ]] || fail "$home is $(stat -c '%U:%G %a' "$home")"
  [[ -f /lib/systemd/system/valico.service && -L "$wants" ]] || fail "valico.service not installed and enabled"
  version=$(valico --version) || fail "valico --version failed"
  [[ "$version" == "valico $(dpkg-deb -f "$service_deb" Version)" ]] || fail "valico --version says \"$version\""
  man valico-gui 2>/dev/null | grep -q "valico.desktop" || fail "man valico-gui does not show the manual page"

  # The service's own command, as its user, makes its settings and spool folders.
  runuser -u valico -- valico --home "$home" run --ticks 1 >>"$log" 2>&1 || fail "the service's command failed"
  [[ -f "$home/_Valico.ini" && -d "$home/Borea" ]] || fail "the service made no settings in $home"

  # The autostart's desktop program beside the running service: the folder is the service's,
  # so it ends at once and says so.
  runuser -u valico -- valico --home "$home" run --ticks 20 >>"$log" 2>&1 &
  service=$!
  for _ in $(seq 100); do
    [[ $(grep -c "started in $home" "$home/Valico.log") -ge 2 ]] && break
    sleep 0.1
  done
  rc=0
  runuser -u valico -- env QT_QPA_PLATFORM=offscreen timeout 30 \
    valico --home "$home" gui >>"$log" 2>&1 || rc=$?
  wait $service || fail "the service's command failed beside the desktop program"
  [[ $rc == 1 ]] || fail "the desktop program beside the service exited with $rc"
  grep -q "already running on $home" "$home/Valico.log" || fail "the desktop program did not say why it ended"
  # A session of a user outside the group valico leaves the folder alone.
  rc=0
  runuser -u nobody -- env QT_QPA_PLATFORM=offscreen HOME=/tmp timeout 30 \
    valico --home "$home" gui >>"$log" 2>&1 || rc=$?
  [[ $rc == 1 ]] || fail "the desktop program of a user outside the group exited with $rc"

  echo job >"$home/Borea/job.txt"
  echo "VALICO_COM1=/dev/ttyUSB0" >>/etc/default/valico

  dpkg -i "$service_deb" "$gui_deb" >>"$log" 2>&1 || fail "reinstall failed"
  [[ -f "$home/_Valico.ini" && -f "$home/Borea/job.txt" ]] || fail "reinstall lost the settings or a job"
  grep -q "^VALICO_COM1=/dev/ttyUSB0" /etc/default/valico || fail "reinstall lost the edit of /etc/default/valico"

  dpkg -r valico >>"$log" 2>&1 && fail "dpkg -r valico removed the service under valico-gui"
  dpkg -r valico-gui valico >>"$log" 2>&1 || fail "dpkg -r failed"
  [[ ! -e /usr/bin/valico-gui ]] || fail "dpkg -r left the desktop program"
  [[ -f "$home/_Valico.ini" && -f "$home/Borea/job.txt" ]] || fail "dpkg -r removed the settings"
  getent passwd valico >/dev/null || fail "dpkg -r removed the user"

  dpkg -P valico-gui valico >>"$log" 2>&1 || fail "dpkg -P failed"
  [[ ! -e "$home" && ! -e /etc/default/valico && ! -e /etc/xdg/autostart/valico.desktop && ! -L "$wants" ]] ||
    fail "dpkg -P left files behind"
  ! getent passwd valico >/dev/null && ! getent group valico >/dev/null || fail "dpkg -P left the user"
  exit 0
fi

scripts/install-deps.sh --check >/dev/null || scripts/install-deps.sh

start=$(date +%s)
cmake --workflow --preset deb
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"  # lintian runs as nobody
service_deb=$work/valico_${version}_amd64.deb
gui_deb=$work/valico-gui_${version}_amd64.deb
for deb in "$service_deb" "$gui_deb"; do
  cp "build/release/$(basename "$deb")" "$deb"
  chmod 644 "$deb"
done

# Exactly these files in each: nothing else of the build folder slips in.
contents() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ {print $6}' | sort | xargs; }
expected="./etc/default/valico ./lib/systemd/system/valico.service ./usr/bin/valico
./usr/share/doc/valico/changelog.gz ./usr/share/doc/valico/copyright
./usr/share/man/man1/valico.1.gz"
[[ "$(contents "$service_deb")" == "$(xargs <<<"$expected")" ]] || fail "valico holds $(contents "$service_deb")"
expected="./etc/xdg/autostart/valico.desktop ./usr/bin/valico-gui
./usr/share/doc/valico-gui/changelog.gz ./usr/share/doc/valico-gui/copyright
./usr/share/man/man1/valico-gui.1.gz"
[[ "$(contents "$gui_deb")" == "$(xargs <<<"$expected")" ]] || fail "valico-gui holds $(contents "$gui_deb")"
zcat <(dpkg-deb --fsys-tarfile "$service_deb" | tar -xO ./usr/share/doc/valico/changelog.gz) |
  head -1 | grep -q "^valico ($version)" || fail "the changelog's last entry is not $version"
# The service's package needs no Qt; the desktop program's needs Qt and this very valico.
depends=$(dpkg-deb -f "$service_deb" Depends)
[[ "$depends" != *qt* ]] || fail "valico depends on $depends"
depends=$(dpkg-deb -f "$gui_deb" Depends)
[[ "$depends" == *"valico (= $version)"* && "$depends" == *libqt6widgets6* ]] || fail "valico-gui depends on $depends"

lintian_cmd=(lintian --fail-on error,warning --info "$service_deb" "$gui_deb")
if [[ $(id -u) -eq 0 ]]; then
  runuser -u nobody -- env HOME="$work" "${lintian_cmd[@]}" || fail "lintian"
else
  "${lintian_cmd[@]}" || fail "lintian"
fi

# The unit against the machine's own units (its targets) plus the package's files; the verifier
# exits 0 on unknown keys, so any output fails.
root=$work/root
dpkg-deb -x "$service_deb" "$root"
cp -a /lib/systemd/system/. "$root/lib/systemd/system/"
verify=$(MANPATH=$root/usr/share/man systemd-analyze verify --root="$root" valico.service 2>&1) || true
[[ -z "$verify" ]] || fail "systemd-analyze verify: $verify"
# Its sandbox: exposure 4.5 at most (the scale is 0-10; the threshold counts tenths).
systemd-analyze security --offline=true --threshold=45 --root="$root" valico.service >"$work/security" 2>&1 ||
  fail "systemd-analyze security: $(tail -1 "$work/security")"

SUDO=""
[[ $(id -u) -eq 0 ]] || SUDO="sudo"
for mode in --inside-headless --inside-desktop; do
  if ! $SUDO unshare --mount --propagation private "$0" $mode "$service_deb" "$gui_deb" "$work/install.log"; then
    cat "$work/install.log" >&2
    exit 1
  fi
done
echo "test-package-deb: $(tail -1 "$work/security" | sed 's/^→ //'); $(stat -c %s "$service_deb") and" \
  "$(stat -c %s "$gui_deb") bytes, built and checked in $(($(date +%s) - start)) s"
