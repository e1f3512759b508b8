#!/usr/bin/env bash
# The reporter's list, figures and CSV bytes over the demo data and generated
# databases, for every kind of period and both bases, against the fingerprints
# kept in expected.sha256. A change that alters one byte of what a user sees
# shows here by the name of the run.
#
#   golden_test.sh BUILD_DIR            compare
#   golden_test.sh BUILD_DIR --write    write expected.sha256 anew (only after
#                                       a change that is meant to alter output)
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
mode=${2:-compare}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

report="$build/report/vorlex-report"
"$build/demo/vorlex-make-demo" "$work/demo" --today 2026-12-07 >/dev/null
demo=$(find "$work/demo" -name '*.db' | head -1)
"$build/bench/vorlex-bench" gen --orders 3000 --cash-entries 600 --customers 80 --years 2 \
  --last-year 2024 --seed 11 --index "$work/gen-index.db" >/dev/null
"$build/bench/vorlex-bench" gen --orders 3000 --cash-entries 600 --customers 80 --years 2 \
  --last-year 2024 --seed 12 --no-index "$work/gen-noindex.db" >/dev/null

# One run: the output up to the last of the five figures, and the CSV file.
fingerprint() {  # fingerprint NAME LOCALE DB ARGS...
  local name=$1 loc=$2 db=$3; shift 3
  rm -f "$work/out.csv"
  LC_ALL=$loc "$report" --db "$db" "$@" --csv "$work/out.csv" > "$work/out.txt"
  sed -n '1,/^Kz 66: /p' "$work/out.txt" > "$work/shown.txt"
  echo "$name $(cat "$work/shown.txt" "$work/out.csv" | sha256sum | cut -d' ' -f1)"
}

runs() {
  for basis in ist soll; do
    for y in 2025 2026; do fingerprint "demo-$basis-year-$y" de_DE.UTF-8 "$demo" --basis $basis --year $y; done
    for q in 2025-Q4 2026-Q1 2026-Q2 2026-Q3 2026-Q4; do
      fingerprint "demo-$basis-quarter-$q" de_DE.UTF-8 "$demo" --basis $basis --quarter $q
    done
    for m in 2025-10 2025-11 2025-12 2026-01 2026-02 2026-03 2026-04 2026-05 2026-06 2026-07 \
             2026-08 2026-09 2026-10 2026-11 2026-12; do
      fingerprint "demo-$basis-month-$m" de_DE.UTF-8 "$demo" --basis $basis --month $m
    done
    fingerprint "demo-$basis-range" de_DE.UTF-8 "$demo" --basis $basis --from 2025-11-15 --to 2026-02-10
    fingerprint "demo-$basis-year-2026-C" C "$demo" --basis $basis --year 2026
    for db in index noindex; do
      g="$work/gen-$db.db"
      for y in 2023 2024; do fingerprint "gen-$db-$basis-year-$y" de_DE.UTF-8 "$g" --basis $basis --year $y; done
      for q in 1 2 3 4; do fingerprint "gen-$db-$basis-quarter-$q" de_DE.UTF-8 "$g" --basis $basis --quarter 2024-Q$q; done
      for m in 2024-02 2024-07 2024-12; do fingerprint "gen-$db-$basis-month-$m" de_DE.UTF-8 "$g" --basis $basis --month $m; done
      fingerprint "gen-$db-$basis-range" de_DE.UTF-8 "$g" --basis $basis --from 2023-06-15 --to 2024-03-03
      fingerprint "gen-$db-$basis-year-2024-C" C "$g" --basis $basis --year 2024
    done
  done
}

if [ "$mode" = --write ]; then
  runs > "$here/expected.sha256"
  echo "wrote $here/expected.sha256 ($(wc -l < "$here/expected.sha256") runs)"
  exit 0
fi
runs > "$work/actual.sha256"
if ! diff -u "$here/expected.sha256" "$work/actual.sha256"; then
  echo "golden: the runs marked above show other bytes than before"
  exit 1
fi
echo "golden: $(wc -l < "$work/actual.sha256") runs show the same bytes as before"
