#!/usr/bin/env bash
# The reporters of two builds against different SQLite libraries (Debian's and
# the newest, built with -DVORLEX_SQLITE_AMALGAMATION) on the same databases:
# the text, the JSON, the CSV, one field and the year overview, and under the
# exact classification the text, the CSV, the JSON and the EC sales list, byte
# for byte.
# The databases: the demo data, a generated one, and the demo data again with
# its dates and amounts in columns of the text kind (DATETIME, DECIMAL) holding
# days a trace before midnight and reals of 17 digits, text in some order
# lines' prices and an order without a valid payment date.
#   compare_builds.sh BUILD_A BUILD_B      (the sqlite3 shell makes the third database)
set -euo pipefail
a=$(cd "$1" && pwd)
b=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "A: SQLite $("$a/tests/vorlex-sqlite-version") in $a"
echo "B: SQLite $("$b/tests/vorlex-sqlite-version") in $b"

"$a/demo/vorlex-make-demo" "$work/demo" --today 2026-12-07 >/dev/null
demo=$(find "$work/demo" -name '*.db' | head -1)
"$a/bench/vorlex-bench" gen --orders 3000 --cash-entries 600 --customers 80 --years 2 \
  --last-year 2024 --seed 11 --index "$work/gen.db" >/dev/null
bash "$(dirname "$0")/make_reals_db.sh" "$demo" "$work/reals.db"

passed=0
failed=0
# compare NAME DB ARGS...: an argument CSV stands for a CSV file of each side's own.
compare() {
  local name=$1 db=$2
  shift 2
  local aargs=() bargs=() arg
  for arg in "$@"; do
    if [ "$arg" = CSV ]; then aargs+=("$work/a.csv"); bargs+=("$work/b.csv"); else aargs+=("$arg"); bargs+=("$arg"); fi
  done
  rm -f "$work/a.csv" "$work/b.csv"
  local as=0 bs=0
  LC_ALL=de_DE.UTF-8 "$a/report/vorlex-report" --db "$db" "${aargs[@]}" >"$work/a.out" 2>"$work/a.err" || as=$?
  LC_ALL=de_DE.UTF-8 "$b/report/vorlex-report" --db "$db" "${bargs[@]}" >"$work/b.out" 2>"$work/b.err" || bs=$?
  local problem=""
  [ "$as" = "$bs" ] || problem="exit status $as and $bs;"
  cmp -s "$work/a.out" "$work/b.out" || problem="$problem standard output differs;"
  cmp -s "$work/a.err" "$work/b.err" || problem="$problem standard error differs;"
  if [ -f "$work/a.csv" ] || [ -f "$work/b.csv" ]; then
    cmp -s "$work/a.csv" "$work/b.csv" || problem="$problem CSV file differs;"
  fi
  if [ -n "$problem" ]; then
    failed=$((failed + 1))
    echo "FAIL $name: $problem"
    diff "$work/a.out" "$work/b.out" | head -6 || true
  else
    passed=$((passed + 1))
    echo "same $name ($(wc -c < "$work/a.out") bytes, status $as)"
  fi
}

for basis in ist soll; do
  for db in demo reals; do
    file=$demo
    [ $db = reals ] && file=$work/reals.db
    compare "$db-$basis-year-2026" "$file" --basis $basis --year 2026 --csv CSV
    compare "$db-$basis-year-2025" "$file" --basis $basis --year 2025 --table -
    compare "$db-$basis-json-2026" "$file" --basis $basis --year 2026 --format json
    compare "$db-$basis-field-81" "$file" --basis $basis --year 2026 --field 81
    compare "$db-$basis-overview-2026" "$file" --basis $basis --overview 2026
    compare "$db-$basis-exact-year-2026" "$file" --basis $basis --classify exact --year 2026 \
      --csv CSV
  done
  compare "gen-$basis-year-2024" "$work/gen.db" --basis $basis --year 2024 --csv CSV
  compare "gen-$basis-json-2023" "$work/gen.db" --basis $basis --year 2023 --format json
  compare "gen-$basis-overview-2024" "$work/gen.db" --basis $basis --overview 2024
  compare "gen-$basis-exact-json-2024" "$work/gen.db" --basis $basis --classify exact \
    --year 2024 --format json
done
compare "demo-exact-zm-2026-Q2" "$demo" --classify exact --quarter 2026-Q2 --zm -
compare "reals-strict" "$work/reals.db" --year 2026 --strict
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
