#!/usr/bin/env bash
# Builds the Debian package with cpack, unpacks it into a scratch root with
# dpkg -x and checks it as an installed system would see it: the files, the
# control fields, the menu entry and metadata together, the icons, the manual
# page against the reporter's --help, and both programs running from there.
#
# Settings come from the environment (set by tests/packaging/CMakeLists.txt):
#   BUILD_DIR     build folder holding CPackConfig.cmake
#   SCRATCH       scratch folder, emptied first
#   VERSION       expected package version
#   APP_ID        AppStream id (the desktop file's name)
#   REPORTER      the reporter in the build folder, empty when not built
#   WINDOW        the window program in the build folder, empty when not built
#   DEMO_MAKER    the demo maker, empty when not built
#   ICON_SIZES    the PNG icon sizes, empty when none are rendered
#   REQUIRED_DEPS package names that Depends must name
set -uo pipefail

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
ok() { echo "ok: $*"; }
die() {
  echo "FAIL: $*"
  exit 1
}

for built in "$REPORTER" "$WINDOW" "$DEMO_MAKER"; do
  [ -z "$built" ] || [ -x "$built" ] || die "$built is not built: build the whole project first"
done

rm -rf "$SCRATCH"
mkdir -p "$SCRATCH/out" "$SCRATCH/root"

# --- the package builds -----------------------------------------------------
cpack --config "$BUILD_DIR/CPackConfig.cmake" -G DEB -B "$SCRATCH/out" >"$SCRATCH/cpack.log" 2>&1 ||
  { cat "$SCRATCH/cpack.log"; die "cpack could not build the package"; }
arch=$(dpkg --print-architecture)
deb="$SCRATCH/out/vorlex_${VERSION}_${arch}.deb"
[ -f "$deb" ] || { ls -l "$SCRATCH/out"; die "no package named $(basename "$deb")"; }
ok "built $(basename "$deb")"

# --- control fields -----------------------------------------------------------
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = vorlex ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$VERSION" ] || fail "Version is '$(field Version)', not $VERSION"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] ||
  fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
depends=$(field Depends)
dep_names=$(echo "$depends" | tr ',' '\n' | sed -E 's/^ *//; s/[ (].*//' | grep -v '^$')
for p in $REQUIRED_DEPS; do
  echo "$dep_names" | grep -qx "$p" || fail "Depends does not name $p: $depends"
done
# A misspelt name would make the package uninstallable: every name must be a
# package that this Debian knows.
for p in $dep_names; do
  dpkg-query -W "$p" >/dev/null 2>&1 || apt-cache show "$p" >/dev/null 2>&1 ||
    fail "Depends names $p, which no Debian package is called"
done
recommends=$(field Recommends 2>/dev/null || true)
echo "$recommends" | tr ',' '\n' | sed -E 's/^ *//; s/[ (].*//' | grep -qx qt6-translations-l10n ||
  fail "Recommends does not name qt6-translations-l10n: '$recommends'"
[ "$failures" -gt 0 ] || ok "control fields checked (Depends: $depends; Recommends: $recommends)"
indirect_names=$(for p in $dep_names; do dpkg-query -W -f='${Depends}\n' "$p" 2>/dev/null; done |
  tr ',|' '\n\n' | sed -E 's/^ *//; s/[ (:].*//' | grep -v '^$' | sort -u)

# --- files ----------------------------------------------------------------------
dpkg -x "$deb" "$SCRATCH/root" || die "dpkg -x failed"
root="$SCRATCH/root"
expect_file() { [ -f "$root/$1" ] || fail "the package lacks /$1"; }
desktop="usr/share/applications/$APP_ID.desktop"
metainfo="usr/share/metainfo/$APP_ID.metainfo.xml"
expect_file "$desktop"
expect_file "$metainfo"
expect_file usr/share/icons/hicolor/scalable/apps/vorlex.svg
expect_file usr/share/man/man1/vorlex-report.1.gz
expect_file usr/share/doc/vorlex/copyright
[ -z "$REPORTER" ] || expect_file usr/bin/vorlex-report
[ -z "$WINDOW" ] || expect_file usr/bin/vorlex

png_size() {  # width x height from the PNG header
  local hex
  hex=$(od -A n -t x1 -j 16 -N 8 "$1" | tr -d ' \n')
  echo "$((16#${hex:0:8}))x$((16#${hex:8:8}))"
}
for size in $ICON_SIZES; do
  png="usr/share/icons/hicolor/${size}x${size}/apps/vorlex.png"
  if [ -f "$root/$png" ]; then
    [ "$(png_size "$root/$png")" = "${size}x${size}" ] ||
      fail "/$png is $(png_size "$root/$png") pixels"
  else
    fail "the package lacks /$png"
  fi
done

# The menu entry names a program and an icon that the package brings.
entry_value() { sed -n "s/^$1=//p" "$root/$desktop" | head -n 1; }
if [ -f "$root/$desktop" ]; then
  icon=$(entry_value Icon)
  [ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
    fail "Icon=$icon has no icon in the package"
  exec_program=$(entry_value Exec | cut -d' ' -f1)
  if [ -n "$WINDOW" ]; then
    [ -x "$root/usr/bin/$exec_program" ] || fail "Exec=$exec_program is not in /usr/bin"
  fi
fi

# The metadata finds its menu entry in the installed tree.
if command -v appstreamcli >/dev/null; then
  appstreamcli validate-tree --no-net --strict --no-color "$root" ||
    fail "appstreamcli rejects the installed tree"
else
  fail "appstreamcli is missing (Debian package appstream)"
fi

gzip -t "$root/usr/share/man/man1/vorlex-report.1.gz" 2>/dev/null || fail "the manual page is no gzip file"

# --- the programs ----------------------------------------------------------------
# Installed programs find their libraries where the system keeps them, never
# in the build folder or beside themselves.
for program in vorlex vorlex-report; do
  bin="$root/usr/bin/$program"
  [ -f "$bin" ] || continue
  search_path=$(objdump -p "$bin" | awk '$1 == "RPATH" || $1 == "RUNPATH"')
  [ -z "$search_path" ] || fail "$program carries a library search path: $search_path"
  missing=$(ldd "$bin" | grep 'not found')
  [ -z "$missing" ] || fail "$program misses libraries: $missing"
  # Every library the program links directly must come from a package that
  # Depends names, or that one of those brings in itself (a linker that keeps
  # every library it was given names Qt's OpenGL libraries too). Sanitizer
  # run-times only appear in test builds. dpkg knows a library under /lib or
  # /usr/lib, whichever its package uses.
  libs=$(objdump -p "$bin" | awk '/NEEDED/ {print $2}' | grep -vE '^(libasan|libubsan|ld-linux)')
  paths=$(ldd "$bin" | awk '$2 == "=>" {print $1, $3}')
  owners=$(for lib in $libs; do
    path=$(echo "$paths" | awk -v l="$lib" '$1 == l {print $2}')
    [ -n "$path" ] || continue
    echo "$path"
    case "$path" in
      /lib/*) echo "/usr$path" ;;
      /usr/lib/*) echo "${path#/usr}" ;;
    esac
  done | sort -u | xargs -r dpkg -S 2>/dev/null)
  for lib in $libs; do
    owner=$(echo "$owners" | awk -v l="$lib" '{ n = split($NF, p, "/"); if (p[n] == l) { print $1; exit } }')
    owner=${owner%%:*}
    if [ -z "$owner" ]; then
      fail "$program links $lib, which no installed package provides"
    elif ! echo "$dep_names" | grep -qx "$owner" && ! echo "$indirect_names" | grep -qx "$owner"; then
      fail "$program links $lib from $owner, which Depends does not name"
    fi
  done
done

demo=""
if [ -n "$DEMO_MAKER" ]; then
  demo="$SCRATCH/demo"
  "$DEMO_MAKER" "$demo" >"$SCRATCH/demo.log" 2>&1 || { cat "$SCRATCH/demo.log"; fail "the demo maker failed"; }
fi

if [ -n "$WINDOW" ] && [ -x "$root/usr/bin/vorlex" ]; then
  # The window runs until it is closed; still running after some seconds
  # means it loaded its libraries and came through start-up.
  APPDATA=${demo:-$SCRATCH/no-appdata} QT_QPA_PLATFORM=offscreen \
    timeout 5 "$root/usr/bin/vorlex" >"$SCRATCH/window.log" 2>&1
  status=$?
  [ "$status" -eq 124 ] || { cat "$SCRATCH/window.log"; fail "the installed vorlex ended with status $status during start-up"; }
fi

if [ -z "$REPORTER" ]; then
  if [ "$failures" -gt 0 ]; then
    die "$failures check(s) failed"
  fi
  echo "SKIPPED: vorlex-report is not built yet, so the package holds no reporter to run"
  exit 77
fi

reporter="$root/usr/bin/vorlex-report"
if [ -x "$reporter" ]; then
  help=$("$reporter" --help 2>&1)
  status=$?
  echo "$help"
  [ "$status" -eq 0 ] || fail "vorlex-report --help ended with status $status"
  [ -n "$help" ] || fail "vorlex-report --help printed nothing"

  # The manual page describes exactly the options that --help names.
  help_options=$(echo "$help" | grep -oE -- '--[a-z][a-z-]*' | sort -u)
  man_options=$(gzip -dc "$root/usr/share/man/man1/vorlex-report.1.gz" | sed 's/\\-/-/g' |
    grep -oE -- '--[a-z][a-z-]*' | sort -u)
  [ "$help_options" = "$man_options" ] ||
    fail "options of --help ($(echo $help_options)) and of the manual page ($(echo $man_options)) differ"

  "$reporter" --no-such-option >/dev/null 2>&1
  status=$?
  [ "$status" -eq 2 ] || fail "a wrong option gave exit status $status, not 2"

  if [ -n "$demo" ]; then
    # The packaged reporter gives the same bytes as the one in the build folder.
    year=$(date +%Y)
    APPDATA="$demo" LC_ALL=C.UTF-8 "$reporter" --year "$year" >"$SCRATCH/installed.txt" 2>&1
    status=$?
    [ "$status" -eq 0 ] || { cat "$SCRATCH/installed.txt"; fail "the reporter failed on the demo data ($status)"; }
    APPDATA="$demo" LC_ALL=C.UTF-8 "$REPORTER" --year "$year" >"$SCRATCH/built.txt" 2>&1
    cmp -s "$SCRATCH/installed.txt" "$SCRATCH/built.txt" ||
      fail "the installed reporter's output differs from the built one's"
  fi
fi

if [ "$failures" -gt 0 ]; then
  die "$failures check(s) failed"
fi
echo "OK: the package installs and runs"
