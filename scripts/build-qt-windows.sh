#!/usr/bin/env bash
# Builds Qt for Windows (qtbase 6.4.2, MinGW-w64) from Debian 12's own source package qt6-base,
# the same Qt as the Linux build's, for the Windows program (preset windows-gui). About an hour on
# two cores, once: the result stays in ~/.cache/pilotrame/qt6-windows-6.4.2 (or the folder given),
# and a run that finds it there does nothing.
#
#   scripts/build-qt-windows.sh [FOLDER]
#
# Then: export PILOTRAME_QT_WINDOWS=FOLDER (scripts/test.sh also looks in the default folder by
# itself). Needs root or sudo the first time, to add a deb-src line for Debian 12 and to install
# the build's packages. Modules: Core, Gui, Widgets, Network, PrintSupport, Test; plugins:
# platforms windows, offscreen and minimal, the windowsvista style.
set -Eeuo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

qt_version=6.4.2
source_version=6.4.2+dfsg-10
prefix=${1:-${XDG_CACHE_HOME:-$HOME/.cache}/pilotrame/qt6-windows-$qt_version}
# Written last: a folder without it is an interrupted build and is made again.
done_mark=$prefix/.pilotrame-complete

if [[ -f $done_mark ]]; then
    echo "build-qt-windows: Qt for Windows is already in $prefix"
    exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi

# The compilers, CMake and Ninja, Qt's host tools (moc, rcc, uic of qt6-base-dev-tools, the same
# version), and dpkg-dev for apt-get source.
"$PILOTRAME_ROOT/scripts/install-deps.sh"

# apt-get source needs the source lists of Debian 12's main component.
if ! apt-get source --print-uris "qt6-base=$source_version" >/dev/null 2>&1; then
    echo "build-qt-windows: adding the deb-src line of Debian 12 (bookworm) main"
    "${sudo[@]}" tee /etc/apt/sources.list.d/pilotrame-deb-src.sources >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    "${sudo[@]}" apt-get update -q
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/pilotrame-qt-windows.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
echo "build-qt-windows: fetching the source package qt6-base $source_version"
apt-get source -q "qt6-base=$source_version"
source_dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
if [[ -z $source_dir || ! -f $source_dir/CMakeLists.txt ]]; then
    echo "build-qt-windows: the source package did not unpack into $work" >&2
    exit 1
fi

cat >"$work/mingw.cmake" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

host_cmake=$(dirname "$(find /usr/lib -maxdepth 3 -type d -path '*/cmake/Qt6CoreTools' | head -n 1)")
# With OpenGL off, dynamic GL must be off too (Qt 6.4.2's windows plugin does not compile
# otherwise); Debian's tarball leaves out wintab, hence no tablet events. The file-prefix map
# keeps the build machine's folders out of the binaries.
rm -rf "$prefix"
echo "build-qt-windows: configuring into $prefix"
cmake -S "$source_dir" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR="$host_cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DFEATURE_sql=OFF -DFEATURE_opengl=OFF \
    -DFEATURE_dbus=OFF -DFEATURE_vulkan=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_pkg_config=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF \
    -DCMAKE_C_FLAGS="-ffile-prefix-map=$source_dir=qtbase" \
    -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$source_dir=qtbase"
echo "build-qt-windows: building with $JOBS jobs (about an hour on two cores)"
cmake --build "$work/build" --parallel "$JOBS"
cmake --install "$work/build"
find "$prefix" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
touch "$done_mark"
echo "build-qt-windows: Qt for Windows is in $prefix"
echo "  export PILOTRAME_QT_WINDOWS=$prefix"
