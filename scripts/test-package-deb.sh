#!/usr/bin/env bash
# Builds the Debian package from the release preset and checks it: its files and control data
# (dpkg-deb), lintian (errors and warnings fail; it also checks the scripts' dependencies and
# that files in /etc are conffiles), its systemd unit (systemd-analyze verify), and
# a real install, reinstall, removal and purge. The install runs in a private mount namespace
# whose /etc, /var, /usr and /run are overlays in memory, so the machine is left as it was;
# that part needs root (or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "test-package-deb: FAIL: $*" >&2
  exit 1
}

# The checks inside the throwaway root (run by this script through unshare, as root).
if [[ "${1:-}" == "--inside" ]]; then
  deb=$2
  log=$3
  tmp=$(mktemp -d)
  mount -t tmpfs tmpfs "$tmp"
  for d in etc var usr; do
    mkdir "$tmp/$d.up" "$tmp/$d.work"
    mount -t overlay overlay -o "lowerdir=/$d,upperdir=$tmp/$d.up,workdir=$tmp/$d.work" "/$d"
  done
  # No /run/systemd/system: the package's scripts leave the machine's systemd alone.
  mount -t tmpfs tmpfs /run
  home=/var/lib/valico
  wants=/etc/systemd/system/multi-user.target.wants/valico.service

  # The README's command installs it.
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >>"$log" 2>&1 || fail "apt-get install failed"
  IFS=: read -r _ _ _ _ _ user_home shell <<<"$(getent passwd valico)" || fail "no user valico"
  [[ "$user_home" == "$home" && "$shell" == */nologin ]] || fail "user valico: home $user_home, shell $shell"
  groups=" $(id -nG valico) "
  [[ "$groups" == *" dialout "* && "$groups" == *" lp "* ]] || fail "valico is in groups$groups"
  [[ "$(stat -c '%U:%G %a' "$home")" == "valico:valico 2770" ]] || fail "$home is $(stat -c '%U:%G %a' "$home")"
  [[ -f /lib/systemd/system/valico.service && -L "$wants" ]] || fail "valico.service not installed and enabled"
  version=$(valico --version) || fail "valico --version failed"
  [[ "$version" == "valico $(dpkg-deb -f "$deb" Version)" ]] || fail "valico --version says \"$version\""

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

  dpkg -i "$deb" >>"$log" 2>&1 || fail "reinstall failed"
  [[ -f "$home/_Valico.ini" && -f "$home/Borea/job.txt" ]] || fail "reinstall lost the settings or a job"
  grep -q "^VALICO_COM1=/dev/ttyUSB0" /etc/default/valico || fail "reinstall lost the edit of /etc/default/valico"

  dpkg -r valico >>"$log" 2>&1 || fail "dpkg -r failed"
  [[ -f "$home/_Valico.ini" && -f "$home/Borea/job.txt" ]] || fail "dpkg -r removed the settings"
  getent passwd valico >/dev/null || fail "dpkg -r removed the user"

  dpkg -P valico >>"$log" 2>&1 || fail "dpkg -P failed"
  [[ ! -e "$home" && ! -e /etc/default/valico && ! -L "$wants" ]] || fail "dpkg -P left files behind"
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
deb=$work/valico_${version}_amd64.deb
cp "build/release/valico_${version}_amd64.deb" "$deb"
chmod 644 "$deb"

# Exactly these files: nothing else of the build folder slips in.
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
expected="./etc/default/valico
./etc/xdg/autostart/valico.desktop
./lib/systemd/system/valico.service
./usr/bin/valico
./usr/bin/valico-gui
./usr/share/doc/valico/changelog.gz
./usr/share/doc/valico/copyright
./usr/share/lintian/overrides/valico"
[[ "$files" == "$expected" ]] || fail "the package holds"$'\n'"$files"
zcat <(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/valico/changelog.gz) |
  head -1 | grep -q "^valico ($version)" || fail "the changelog's last entry is not $version"

lintian_cmd=(lintian --fail-on error,warning "$deb")
if [[ $(id -u) -eq 0 ]]; then
  runuser -u nobody -- env HOME="$work" "${lintian_cmd[@]}" || fail "lintian"
else
  "${lintian_cmd[@]}" || fail "lintian"
fi

# The unit against the machine's own units (its targets) plus the package's files; the verifier
# exits 0 on unknown keys, so any output fails.
root=$work/root
dpkg-deb -x "$deb" "$root"
cp -a /lib/systemd/system/. "$root/lib/systemd/system/"
verify=$(systemd-analyze verify --root="$root" valico.service 2>&1) || true
[[ -z "$verify" ]] || fail "systemd-analyze verify: $verify"

SUDO=""
[[ $(id -u) -eq 0 ]] || SUDO="sudo"
if ! $SUDO unshare --mount --propagation private "$0" --inside "$deb" "$work/install.log"; then
  cat "$work/install.log" >&2
  exit 1
fi
echo "test-package-deb: $(stat -c %s "$deb") bytes, built and checked in $(($(date +%s) - start)) s"
