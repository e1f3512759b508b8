#!/usr/bin/env bash
# The MSI under wine (WINEPREFIX from the caller): a quiet per-machine
# installation of the previous version, then of this one over it: one entry
# under installed programs (this version, its publisher, install folder and
# size), this version's files, the Start-menu entry "Vorlex"; the installed
# reporter runs; the removal takes all of it away again.
#   msi_test.sh MSI PREVIOUS_MSI
set -euo pipefail
export LC_ALL=de_DE.UTF-8  # for wine, with LOCPATH from the caller
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
msi=$(absolute "$1")
previous=$(absolute "$2")
build=$(dirname "$msi")
version=$(basename "$msi" | sed -n 's/^Vorlex-\(.*\)-x64\.msi$/\1/p')
drive="$WINEPREFIX/drive_c"
folder="$drive/Program Files/Vorlex"
failed=0
check() {  # check TEXT COMMAND...
  local text=$1
  shift
  if "$@"; then echo "ok   $text"; else echo "FAIL $text"; failed=1; fi
}
menu_entry() { find "$drive" -path '*Start Menu/Programs/Vorlex.lnk' | grep -q .; }
# The values of the entries named Vorlex under installed programs, one
# "NAME=VALUE" a line, a line "--" before each entry.
uninstall_entries() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
    tr -d '\r' | awk '
      /^HKEY/ { if (vorlex) printf "--\n%s", values; values = ""; vorlex = 0; next }
      NF >= 3 { name = $1; $1 = ""; $2 = ""; sub(/^ +/, ""); values = values name "=" $0 "\n"
                if (name == "DisplayName" && $0 == "Vorlex") vorlex = 1 }
      END { if (vorlex) printf "--\n%s", values }'
}
entry_count() { uninstall_entries | grep -c '^--$' || true; }
entry_value() { uninstall_entries | sed -n "s/^$1=//p"; }
installed_as_built() { cmp -s "$folder/vorlex.exe" "$build/app/vorlex.exe" &&
                       cmp -s "$folder/vorlex-report.exe" "$build/report/vorlex-report.exe"; }
previous_installed() { tail -n 1 "$folder/vorlex.exe" | grep -q "^Vorlex "; }

# msiexec with a log; a failure prints its status and the log's end, and is
# tried once more after wine's server has settled, so that a failing run says
# what the installer met instead of ending the script without a word.
msiexec() {  # msiexec /i|/x MSI
  local log="$build/msiexec.log" status=0 try
  for try in 1 2; do
    status=0
    wine msiexec "$1" "Z:$2" /qn /l*v "Z:$log" || status=$?
    [ "$status" = 0 ] && return 0
    echo "msiexec $1 $(basename "$2"): exit status $status (try $try); the log's end:"
    tr -d '\000\r' < "$log" 2>/dev/null | tail -n 25 || true
    wineserver -w || true
  done
  return "$status"
}

check "previous version's installation ends well" msiexec /i "$previous"
check "previous version installed" previous_installed
check "this version's installation ends well" msiexec /i "$msi"
check "one entry under installed programs" test "$(entry_count)" = 1
check "the entry is version $version" test "$(entry_value DisplayVersion)" = "$version"
check "the entry names the publisher" test "$(entry_value Publisher)" = "Die Entwickler von Vorlex"
check "the entry names the install folder" \
  test "$(entry_value InstallLocation)" = 'C:\Program Files\Vorlex\'
kilobytes=$(( ($(stat -c %s "$build/app/vorlex.exe") +
               $(stat -c %s "$build/report/vorlex-report.exe") + 1023) / 1024 ))
check "the entry gives the size, $kilobytes KB" test "$(entry_value Size)" = "$kilobytes"
check "the entry is German" test "$(entry_value Language)" = 0x407
check "this version's programs in Program Files" installed_as_built
check "Start-menu entry Vorlex" menu_entry
check "the installed reporter runs" \
  bash -c 'wine "$1/vorlex-report.exe" --help | grep -q "^Aufruf: vorlex-report"' _ "$folder"

check "the removal ends well" msiexec /x "$msi"
check "nothing left in Program Files" test ! -e "$folder"
check "nothing left in the registry" bash -c '! wine reg query "HKLM\Software\Vorlex" >/dev/null 2>&1'
check "Start-menu entry removed" bash -c '! find "$1" -path "*Start Menu/Programs/Vorlex.lnk" | grep -q .' _ "$drive"
check "entry under installed programs removed" test "$(entry_count)" = 0
echo "MSI: $(stat -c %s "$msi") bytes"
exit "$failed"
