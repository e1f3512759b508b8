#!/usr/bin/env bash
# Builds Qt (Core, Gui, Widgets, Test) for 64-bit Windows as static libraries
# with mingw-w64, from Debian's own source of the Qt that the Linux build uses,
# with Debian's Qt host tools (moc, rcc, uic). The result goes into a cache
# folder outside the checkout, keyed by the Qt version and these options, and
# is reused by every later build; a build that stops half-way leaves nothing
# there. Prints the folder as its last line.
#   VORLEX_CACHE   the cache folder (default /var/cache/vorlex)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cache=${VORLEX_CACHE:-/var/cache/vorlex}
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
prefix="$cache/qt-$version-mingw-x64-static-1"
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi
# One build at a time: a second call waits for the first and then uses its result.
mkdir -p "$cache"
exec 9>"$cache/.qt-build.lock"
flock 9
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

# Debian's source packages: a deb-src line for the archive the binaries come from.
if ! grep -qs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list.d/*.sources \
    /etc/apt/sources.list /etc/apt/sources.list.d/*.list; then
  sed -e 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
    > /etc/apt/sources.list.d/vorlex-deb-src.sources
  apt-get update -qq
fi
work=$(mktemp -d /var/tmp/vorlex-qt.XXXXXX)
# The logs of a build that stops half-way stay in /var/tmp for a look.
trap 'cp "$work"/*.log /var/tmp/ 2>/dev/null; rm -rf "$work"' EXIT
(cd "$work" && apt-get source --download-only -qq "qt6-base=$version" 2>/dev/null)
tar -xf "$work"/qt6-base_*.orig.tar.xz -C "$work"
src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qtbase*' | head -1)

started=$(date +%s)
# OpenGL stays on: the Windows platform plugin of Qt 6.4 does not build without it.
cmake -S "$src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$work/install" \
  -DBUILD_SHARED_LIBS=OFF \
  -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_tabletevent=OFF \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
  -DFEATURE_icu=OFF \
  > "$work/configure.log" 2>&1 || { tail -40 "$work/configure.log"; exit 1; }
cmake --build "$work/build" -j"$(nproc)" > "$work/build.log" 2>&1 ||
  { tail -40 "$work/build.log"; exit 1; }
cmake --install "$work/build" > /dev/null
echo "Qt for Windows built in $(( $(date +%s) - started )) s" >&2
rm -rf "$prefix"
mv "$work/install" "$prefix"
touch "$prefix/.complete"
echo "$prefix"
