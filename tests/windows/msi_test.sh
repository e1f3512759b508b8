#!/usr/bin/env bash
# The MSI under wine (WINEPREFIX from the caller): a quiet per-machine
# installation puts both programs into Program Files, the Start-menu entry
# "Vorlex" and the entry under installed programs; the installed reporter
# runs; the removal takes all of it away again.
#   msi_test.sh MSI
set -euo pipefail
export LC_ALL=de_DE.UTF-8  # for wine, with LOCPATH from the caller
msi=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
drive="$WINEPREFIX/drive_c"
folder="$drive/Program Files/Vorlex"
failed=0
check() {  # check TEXT COMMAND...
  local text=$1
  shift
  if "$@"; then echo "ok   $text"; else echo "FAIL $text"; failed=1; fi
}
menu_entry() { find "$drive" -path '*Start Menu/Programs/Vorlex.lnk' | grep -q .; }
uninstall_entry() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
    tr -d '\r' | grep -q 'DisplayName.*Vorlex'
}

wine msiexec /i "Z:$msi" /qn
check "vorlex.exe in Program Files" test -f "$folder/vorlex.exe"
check "vorlex-report.exe in Program Files" test -f "$folder/vorlex-report.exe"
check "Start-menu entry Vorlex" menu_entry
check "entry under installed programs" uninstall_entry
check "the installed reporter runs" \
  bash -c 'wine "$1/vorlex-report.exe" --help | grep -q "^Aufruf: vorlex-report"' _ "$folder"

wine msiexec /x "Z:$msi" /qn
check "programs removed" test ! -e "$folder/vorlex.exe" -a ! -e "$folder/vorlex-report.exe"
check "Start-menu entry removed" bash -c '! find "$1" -path "*Start Menu/Programs/Vorlex.lnk" | grep -q .' _ "$drive"
if uninstall_entry; then echo "FAIL entry under installed programs removed"; failed=1; else echo "ok   entry under installed programs removed"; fi
echo "MSI: $(stat -c %s "$msi") bytes"
exit "$failed"
