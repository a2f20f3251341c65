#!/usr/bin/env bash
# Install the Debian packages a build needs, skipping those already present.
# Usage: scripts/install-packages.sh [native|windows|wine32|bench|demo|all]...   (default: all)
set -euo pipefail
# shellcheck source=scripts/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Native engine, host, unit tests, sanitizers, fuzzers, benchmarks, fixtures; python3 runs the
# interface generator of every build and the test scripts' checks.
NATIVE_PACKAGES=(
  cmake ninja-build make g++ clang libclang-rt-dev llvm python3
  libpng-dev libjpeg62-turbo-dev zlib1g-dev
  libgtest-dev googletest libbenchmark-dev imagemagick
  libjpeg-turbo-progs libtiff-tools netpbm pngcheck
)

# The tools the side-by-side benchmark times ours against (./run bench).
BENCH_PACKAGES=(
  imagemagick graphicsmagick libvips-tools libjpeg-turbo-progs libpng-tools netpbm libtiff-tools
)

# MinGW cross compilers (posix thread model), widl, 64-bit Wine, a Japanese font for the text
# the control draws, dpkg-dev for "apt-get source" of the codec libraries, and wixl for the
# installers.
WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
  wine wine64 libwine-dev dpkg-dev xz-utils googletest fonts-ipafont-gothic wixl
)
# Kept apart: where the registry refuses it, everything else still installs and the 32-bit
# Wine stages fail with that reason.
WINE32_PACKAGES=(wine32:i386)

# The demo's screenshot: a virtual X display and a screen grab.
DEMO_PACKAGES=(xvfb x11-apps imagemagick)

# wine32 is an i386 package: the architecture must be known to dpkg before apt looks it up.
enable_i386() {
  dpkg --print-foreign-architectures | grep -qx i386 && return 0
  log "adding the i386 architecture (for wine32)"
  dpkg --add-architecture i386
  _APT_UPDATED=0
}

main() {
  local groups=("$@") want=() g
  [[ ${#groups[@]} == 0 ]] && groups=(all)
  for g in "${groups[@]}"; do
    case "$g" in
      native)  want+=("${NATIVE_PACKAGES[@]}") ;;
      windows) want+=("${WINDOWS_PACKAGES[@]}") ;;
      bench)   want+=("${BENCH_PACKAGES[@]}") ;;
      demo)    want+=("${DEMO_PACKAGES[@]}") ;;
      wine32)  enable_i386; want+=("${WINE32_PACKAGES[@]}") ;;
      all)     want+=("${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}") ;;
      *) die "unknown package group: $g" ;;
    esac
  done
  apt_install "${want[@]}" || die "could not install: ${want[*]}"
}

main "$@"
