# shellcheck shell=bash
# Shared by scripts/run and scripts/test (sourced, not run): the one list of Debian packages the
# project builds and tests with, their installation when something is missing, and the CMake
# configure-and-build step.
#
# Callers set `set -euo pipefail` before sourcing this file.

QTR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# What building and testing need on Debian 12. Qt 6's CMake packages look for OpenGL (required)
# and Vulkan headers and xkbcommon (optional; Qt6::GuiPrivate links xkbcommon) at configure time.
# qt6-base-dev brings the first two; all are named here, so a change of Qt's packaging shows up
# as a clear install step rather than a configure error.
# libqt6gui6 (pulled in by qt6-base-dev) holds the offscreen platform plugin of the GUI tests and
# the xcb plugin of a real window; fonts-dejavu-core gives Qt a font to lay out text with.
# The installation test checks the installed desktop entries and XML files with
# desktop-file-validate (desktop-file-utils) and xmllint (libxml2-utils), and the file type of
# recordings with update-mime-database (shared-mime-info) and gio (libglib2.0-bin).
# shellcheck disable=SC2034 # used by the scripts that source this file
QTR_BUILD_PACKAGES=(
  cmake
  ninja-build
  g++
  qt6-base-dev
  qt6-base-dev-tools
  qt6-qpa-plugins
  libgl-dev
  libvulkan-dev
  libxkbcommon-dev
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  fonts-dejavu-core
  desktop-file-utils
  libxml2-utils
  shared-mime-info
  libglib2.0-bin
)

# What scripts/package needs beyond the build: CPack's Debian generator finds the package's
# library dependencies with dpkg-shlibdeps (dpkg-dev), which it runs on the files `file` calls
# executables.
# shellcheck disable=SC2034 # used by the scripts that source this file
QTR_PACKAGE_PACKAGES=(
  dpkg-dev
  file
)

# The checks of scripts/test beyond the plain build: clang with its sanitizer and libFuzzer
# runtimes (the fuzz target), and the two static analysers of scripts/lint.
# shellcheck disable=SC2034 # used by the scripts that source this file
QTR_CHECK_PACKAGES=(
  clang
  libclang-rt-14-dev
  clang-tidy
  cppcheck
)

qtr_say() { printf '==> %s\n' "$*"; }
qtr_fail() { printf 'error: %s\n' "$*" >&2; exit 1; }

# True when the Debian package is installed (not merely known or half-configured).
qtr_package_installed() {
  [[ $(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null) == installed ]]
}

# Installs those of the given packages that are missing; does nothing when all are present.
# Runs apt-get as root directly, through sudo otherwise.
qtr_install_packages() {
  if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
    qtr_say "no dpkg/apt-get here: not installing anything; make sure these are present: $*"
    return 0
  fi
  local missing=() package
  for package in "$@"; do
    qtr_package_installed "$package" || missing+=("$package")
  done
  if ((${#missing[@]} == 0)); then
    qtr_say "packages: all present (${#} checked)"
    return 0
  fi

  local as_root=()
  if ((EUID != 0)); then
    if command -v sudo >/dev/null; then
      as_root=(sudo)
    else
      qtr_fail "missing packages: ${missing[*]}
  not root and no sudo; as root run:
    apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
    fi
  fi
  qtr_say "installing missing packages: ${missing[*]}"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update ||
    qtr_fail "apt-get update failed"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}" ||
    qtr_fail "apt-get install failed for: ${missing[*]}"
  for package in "${missing[@]}"; do
    qtr_package_installed "$package" || qtr_fail "package $package is still not installed"
  done
  qtr_say "installed: ${missing[*]}"
}

# qtr_build DIR BUILD_TYPE [CMAKE_ARGS...]: configures DIR (Ninja when available; an existing
# build folder keeps the generator it was made with) and builds everything in it.
qtr_build() {
  local dir=$1 type=$2
  shift 2
  local generator=()
  if [[ ! -f $dir/CMakeCache.txt ]] && command -v ninja >/dev/null; then
    generator=(-G Ninja)
  fi
  qtr_say "configuring $type build in ${dir#"$QTR_ROOT"/}"
  cmake -S "$QTR_ROOT" -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE="$type" "$@"
  qtr_say "building in ${dir#"$QTR_ROOT"/}"
  cmake --build "$dir" --parallel "$(nproc 2>/dev/null || echo 2)"
}
