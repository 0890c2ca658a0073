#!/usr/bin/env bash
# Installs every Debian package that Valico's build, tests and benchmarks use (Debian 12, as
# root). Idempotent. With --check, installs nothing and exits 1 when something is missing.
set -euo pipefail

PACKAGES=(
  # Native build, tests and benchmarks
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev libspdlog-dev libfmt-dev
  # ... the benchmarks' system-call counts, and line and branch coverage (scripts/coverage.sh)
  strace gcovr
  # FTP client, and the FTP server the tests talk to
  libcurl4-openssl-dev python3 python3-pyftpdlib
  # Pseudo-terminal plumbing for the serial-port tests
  socat
  # The Linux desktop program valico-gui: Qt 6 Widgets (its tests run offscreen, no display)
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # Printing on Linux: previews and PDFs drawn with cairo in DejaVu Sans Mono, PDFs to CUPS
  # queues, Windows bitmaps (logos) read with stb_image (header-only, so MinGW uses it too)
  libcairo2-dev libcups2-dev fonts-dejavu-core libstb-dev
  # ... and their tests: a private CUPS scheduler with lpadmin, pdftotext, a barcode reader
  cups cups-client poppler-utils zbar-tools
  # The format check of test.sh; pinned, as another clang-format version formats differently
  clang-format-14
  # The fuzz targets (libFuzzer, with AddressSanitizer and UBSan)
  clang-14 libclang-rt-14-dev
  # Windows leg: the MinGW-w64 cross compiler (posix threads) and Wine to run the tests
  g++-mingw-w64-x86-64-posix wine wine64
  # ... and the tray program's tests on a virtual display; screenshots of its window
  xvfb xauth x11-apps imagemagick
  # Packages: the Windows installer (NSIS), the Debian package and its checks
  nsis dpkg-dev lintian systemd adduser
  # ... and the manual pages: built with scdoc, read with man in the package test
  scdoc man-db
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [[ "${1:-}" == "--check" ]]; then
  [[ ${#missing[@]} -eq 0 ]] || { echo "missing packages: ${missing[*]}"; exit 1; }
  exit 0
fi

if [[ ${#missing[@]} -eq 0 ]]; then
  echo "install-deps: everything is installed"
  exit 0
fi

SUDO=""
[[ $(id -u) -eq 0 ]] || SUDO="sudo"
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}"
