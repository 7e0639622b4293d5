#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the editor need, when any is missing.
# clang with its libFuzzer runtime builds the fuzz targets (fuzz/run.sh). The last lines:
# making the Debian package (dpkg-shlibdeps) and checking it, the compiler cache, the libraries
# for regular expressions and EditorConfig; the AT-SPI check's virtual X server, accessibility
# bus and Python bindings (tools/atspi-check.py); a fast linker.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-l10n-tools qt6-translations-l10n
          libgl-dev libgtest-dev fonts-dejavu-core xauth poppler-utils clang libclang-rt-14-dev
          dpkg-dev desktop-file-utils appstream lintian ccache libpcre2-dev libeditorconfig-dev
          xvfb dbus at-spi2-core python3-pyatspi lld)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}" >&2
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
