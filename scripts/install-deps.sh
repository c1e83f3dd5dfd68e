#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and its tests need, asking apt only for
# what is missing. Runs as root or through sudo.
#   --with-test-locale  also generate the decimal-comma locale one test needs
#   --with-fuzz         also install clang with libFuzzer and the sanitizer runtimes (fuzz/run)
set -euo pipefail

with_test_locale=false
with_fuzz=false
for option in "$@"; do
  case "$option" in
    --with-test-locale) with_test_locale=true ;;
    --with-fuzz) with_fuzz=true ;;
    *) echo "install-deps.sh: unknown option '$option'" >&2; exit 2 ;;
  esac
done

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-qpa-plugins qt6-serialport-dev libqt6svg6 libgl-dev rapidjson-dev libxcb1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-httpserver-dev qt6-websockets-dev
  libqcustomplot-dev
  socat strace xvfb xauth locales
  python3-yaml prometheus systemd
)
# clang 14 is Debian 12's clang; libclang-rt-14-dev holds its libFuzzer and sanitizer runtimes
# (libclang_rt.fuzzer, asan, ubsan), and llvm puts llvm-symbolizer on the PATH for readable reports.
if $with_fuzz; then
  packages+=(clang libclang-rt-14-dev llvm)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

as_root() { if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi; }

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  as_root apt-get update
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# A decimal-comma locale, so a test can prove numbers never follow the user's locale.
if $with_test_locale && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  as_root sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi
