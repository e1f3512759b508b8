#!/usr/bin/env bash
# The Windows reporter under wine against the Linux reporter, on the demo data
# and on a generated database: the text, the JSON, the CSV (as a file and on
# standard output), one field, the year overview as text, JSON and CSV, and a
# failing run's message and status, byte for byte, standard output in a file
# and through a pipe. German number and date format on both sides: LC_ALL for
# Linux, the regional settings of the wine prefix (WINEPREFIX, from the
# caller) for Windows. Then the reporter in a console, which shows the same
# characters.
#   compare_with_linux.sh LINUX_BUILD WINDOWS_BUILD
set -euo pipefail
linux=$(cd "$1" && pwd)
windows=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$linux/demo/vorlex-make-demo" "$work/demo" --today 2026-12-07 >/dev/null
demo=$(find "$work/demo" -name '*.db' | head -1)
"$linux/bench/vorlex-bench" gen --orders 3000 --cash-entries 600 --customers 80 --years 2 \
  --last-year 2024 --seed 11 --index "$work/gen.db" >/dev/null
# The day-end case: dates a trace before midnight and 17-digit reals in columns
# of the text kind, which SQLite 3.43 and later write with more digits.
bash "$(dirname "$0")/../sqlite/make_reals_db.sh" "$demo" "$work/reals.db"
: > "$work/leer.db"  # a database, but not Pelmora's: the run fails

passed=0
failed=0
# compare NAME DB ARGS...: an argument CSV stands for a CSV file of each side's own.
# With pipe=1 the Windows reporter's standard output goes through a pipe.
compare() {
  local name=$1 db=$2
  shift 2
  local largs=() wargs=() a
  for a in "$@"; do
    if [ "$a" = CSV ]; then largs+=("$work/l.csv"); wargs+=("Z:$work/w.csv"); else largs+=("$a"); wargs+=("$a"); fi
  done
  rm -f "$work/l.csv" "$work/w.csv"
  local ls=0 ws=0
  LC_ALL=de_DE.UTF-8 "$linux/report/vorlex-report" --db "$db" "${largs[@]}" \
    >"$work/l.out" 2>"$work/l.err" || ls=$?
  if [ "${pipe:-0}" = 1 ]; then
    { LC_ALL=de_DE.UTF-8 wine "$windows/report/vorlex-report.exe" --db "Z:$db" "${wargs[@]}" \
        2>"$work/w.err" || echo $? >"$work/w.status"; } | cat >"$work/w.out"
    if [ -f "$work/w.status" ]; then ws=$(cat "$work/w.status"); rm "$work/w.status"; fi
  else
    LC_ALL=de_DE.UTF-8 wine "$windows/report/vorlex-report.exe" --db "Z:$db" "${wargs[@]}" \
      >"$work/w.out" 2>"$work/w.err" || ws=$?
  fi
  local problem=""
  [ "$ls" = "$ws" ] || problem="exit status $ls on Linux, $ws on Windows"
  cmp -s "$work/l.out" "$work/w.out" || problem="$problem standard output differs;"
  if [ "$ls" = 2 ]; then
    # A usage error: the message, then the help, which names each system's
    # own settings folder and source of formats.
    [ "$(head -n 1 "$work/l.err")" = "$(head -n 1 "$work/w.err")" ] ||
      problem="$problem the usage error's message differs;"
    grep -q '^Aufruf: vorlex-report' "$work/w.err" || problem="$problem no help after the message;"
  else
    cmp -s "$work/l.err" "$work/w.err" || problem="$problem standard error differs;"
  fi
  if [ -f "$work/l.csv" ] || [ -f "$work/w.csv" ]; then
    cmp -s "$work/l.csv" "$work/w.csv" || problem="$problem CSV file differs;"
  fi
  if [ -n "$problem" ]; then
    failed=$((failed + 1))
    echo "FAIL $name: $problem"
    diff <(od -c "$work/l.out") <(od -c "$work/w.out") | head -10 || true
    diff <(od -c "$work/l.err") <(od -c "$work/w.err") | head -6 || true
  else
    passed=$((passed + 1))
    echo "same $name ($(wc -c < "$work/l.out") bytes)"
  fi
}

for basis in ist soll; do
  compare "demo-$basis-year-2026" "$demo" --basis $basis --year 2026 --csv CSV
  compare "demo-$basis-quarter-2026-Q4" "$demo" --basis $basis --quarter 2026-Q4
  compare "demo-$basis-month-2026-11" "$demo" --basis $basis --month 2026-11 --csv -
  compare "demo-$basis-json-2026" "$demo" --basis $basis --year 2026 --format json
  compare "demo-$basis-range" "$demo" --basis $basis --from 2025-11-15 --to 2026-02-10
  compare "demo-$basis-field-81" "$demo" --basis $basis --year 2026 --field 81
  compare "demo-$basis-overview-2026" "$demo" --basis $basis --overview 2026
  compare "reals-$basis-year-2026" "$work/reals.db" --basis $basis --year 2026 --csv CSV
  compare "reals-$basis-json-2025" "$work/reals.db" --basis $basis --year 2025 --format json
  compare "gen-$basis-year-2024" "$work/gen.db" --basis $basis --year 2024 --csv CSV
  compare "gen-$basis-quarter-2024-Q2" "$work/gen.db" --basis $basis --quarter 2024-Q2 --csv -
  compare "gen-$basis-json-2023" "$work/gen.db" --basis $basis --year 2023 --format json
  compare "gen-$basis-overview-2024" "$work/gen.db" --basis $basis --overview 2024
done
compare "demo-overview-json" "$demo" --overview 2026 --format json
compare "demo-overview-csv" "$demo" --overview 2026 --csv CSV
compare "gen-overview-csv-stdout" "$work/gen.db" --overview 2023 --csv -
compare "demo-strict" "$demo" --year 2026 --strict
compare "not Pelmora's database" "$work/leer.db" --year 2026
compare "unknown option" "$demo" --jahr 2026
compare "reversed range" "$demo" --from 2026-12-31 --to 2026-12-01
pipe=1 compare "demo-year-2026 through a pipe" "$demo" --year 2026
pipe=1 compare "demo-csv-2026 through a pipe" "$demo" --year 2026 --csv -

# In a console the reporter writes characters, not bytes. Wine gives a program
# started from a terminal (here the pseudo-terminal of script, 1000 columns
# wide so that no line wraps) a console of the German OEM code page 850,
# where the UTF-8 bytes of "ä" would show as "├ñ". The terminal, less the
# console's control sequences (a blank may come as "cursor forward"), shows
# the text the reporter writes into a file. With a trace file, wine's trace
# of the console (on wine's standard error, so the program's standard error
# is that file) must show the text passing WriteConsoleW.
in_console() {  # in_console TRACE|- ARGS...: what the terminal shows of a run
  local trace=$1 run
  shift
  run="wine $(printf '%q ' "$windows/report/vorlex-report.exe" "$@")"
  [ "$trace" = - ] || run="WINEDEBUG=trace+console $run 2>$(printf '%q' "$trace")"
  LC_ALL=de_DE.UTF-8 script -qec "stty cols 1000 rows 100; $run" /dev/null </dev/null |
    perl -pe 's/\e\[(\d*)C/" " x ($1 || 1)/ge; s/\e\[[0-9;?]*[A-Za-z]//g; s/\r//g'
}
console() {  # console NAME TRACE|- ARGS...
  local name=$1 trace=$2
  shift 2
  LC_ALL=de_DE.UTF-8 wine "$windows/report/vorlex-report.exe" "$@" >"$work/w.out" 2>&1 || true
  in_console "$trace" "$@" >"$work/c.out" || true
  if grep -q '[^ -~]' "$work/w.out" && cmp -s "$work/w.out" "$work/c.out" &&
     { [ "$trace" = - ] || grep -q 'WriteConsoleW' "$trace"; }; then
    passed=$((passed + 1))
    echo "same $name in a console"
  else
    failed=$((failed + 1))
    echo "FAIL $name in a console (or without umlauts):"
    diff "$work/w.out" "$work/c.out" | head -6 || true
  fi
}
console "help" "$work/trace" --help
console "a run's list" "$work/trace" --db "Z:$demo" --year 2026
console "a usage error on standard error" - --overview 2026 --field 81
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
