#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Pilotrame need. Only what is
# missing is installed, and the package lists are refreshed only then, so that a machine that has
# everything does not touch the network.
set -euo pipefail

packages=(
    # Build tools
    cmake
    ninja-build
    g++
    clang-format
    # The program's icon, drawn from its SVG at each size it is shown (rsvg-convert)
    librsvg2-bin
    # The naming check (run-clang-tidy), and the count of test results from their XML reports
    clang-tidy
    python3
    # Qt 6 for the windows, and Qt's own French texts (file dialogs, standard buttons)
    qt6-base-dev
    qt6-translations-l10n
    # A font for Qt's offscreen platform, on which the window tests run
    fontconfig
    fonts-dejavu-core
    # Tests and benchmark
    googletest
    libgtest-dev
    libbenchmark-dev
    # The fuzz targets: clang with libFuzzer and the sanitizer runtimes
    clang
    libclang-rt-14-dev
    # The Debian package (dpkg-shlibdeps for CPack), the checks of its desktop files, and lintian
    dpkg-dev
    appstream
    desktop-file-utils
    lintian
    # The Windows cross build, and Wine to run its tests; the installer (makensis), and a display
    # for the installed program under Wine (Qt's windows platform draws into X)
    g++-mingw-w64-x86-64-posix
    wine
    wine64
    nsis
    xvfb
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    if [[ $status != installed ]]; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    echo "install-deps: all ${#packages[@]} packages are installed"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q "${missing[@]}"
