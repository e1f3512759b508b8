#!/usr/bin/env bash
# The whole vorlex-report process against the sqlite3 shell printing what a run
# reads (the orders queries, the cash-book query and one grouped query of the
# line sums), both to /dev/null, taken in turns; medians of ROUNDS. The
# reporter classifies by CLASSIFICATION (its --classify) on BASIS (its --basis).
#   bash bench/vs-shell.sh REPORTER DATABASE [ROUNDS (3)] [YEAR (2024)] [SHELL (sqlite3)]
#                          [CLASSIFICATION (simple)] [BASIS (soll)]
# for example: bash bench/vs-shell.sh build/report/vorlex-report build/bench/data/year-100k-index.db
# With COUNT=instructions each is run once under callgrind and the ratio is
# that of the instructions, which a loaded machine does not disturb.
set -euo pipefail
[ $# -ge 2 ] || { sed -n '2,10p' "$0"; exit 2; }
reporter=$1 db=$2 rounds=${3:-3} year=${4:-2024} shell=${5:-sqlite3} classify=${6:-simple}
basis=${7:-soll}
# Day numbers as Pelmora stores dates: days since 30 December 1899.
day() { echo $(( $(date -ud "$1" +%s) / 86400 + 25569 )); }
first=$(day "$year-01-01") next=$(day "$((year + 1))-01-01")
sql=$(mktemp) csv=$(mktemp) out=$(mktemp -d)
trap 'rm -rf "$sql" "$csv" "$out"' EXIT
# The orders of one pass and the line sums of those orders.
orders() {  # orders CONDITION DATE-COLUMN
  local where="(auftrag.papierkorb = 0) $1 AND ($2 >= $first) AND ($2 < $next)" from=auftrag
  # The customer's table only where the condition reads it.
  case $1 in *ust_id*) from="(auftrag LEFT JOIN besitzer ON auftrag.besitzerindex=besitzer.id)" ;; esac
  cat <<SQL
SELECT DISTINCT auftrag.*, besitzer.name AS b_name,besitzer.vorname AS b_vor, besitzer.kundennr AS b_kdnr, besitzer.land, ust_id FROM (auftrag LEFT JOIN besitzer ON auftrag.besitzerindex=besitzer.id) WHERE $where ORDER BY besitzer.land,$2;
SELECT auftragindex, SUM(anzahl*(preis*(mwst/100.0))) AS mwst_sum, SUM(anzahl*preis) AS betrag_sum FROM verbindauftrag WHERE auftragindex IN (SELECT auftrag.id FROM $from WHERE $where) GROUP BY auftragindex;
SQL
}
{
  echo "PRAGMA temp_store = MEMORY;"
  if [ "$basis" = ist ]; then
    orders "AND ((bezahlt = -1) OR (davonbezahlt IS NOT 0))" bezahltam
    # "genau" takes supplies to customers with a VAT id by their invoice date.
    [ "$classify" = exact ] && orders "AND (ust_id IS NOT NULL) AND (ust_id <> '')" termin
  else
    orders "" termin
  fi
  cat <<SQL
SELECT DISTINCT kasse.*, besitzer.name AS k_name, besitzer.vorname, besitzer.kundennr, lieferant.name as l_name FROM (kasse LEFT JOIN besitzer ON (besitzer.id = kasse.besitzerindex)) LEFT JOIN lieferant ON (lieferant.id = kasse.lieferantindex) WHERE (kasse.papierkorb = 0) AND (termin >= $first) AND (termin < $next) ORDER BY kasse.neinaus, kasse.bezeichnung,termin;
SQL
} > "$sql"
run_shell() { "$@" "$shell" "$db" < "$sql" > /dev/null; }
run_reporter() {
  "$@" "$reporter" --db "$db" --year "$year" --basis "$basis" --classify "$classify" \
    --csv "$csv" > /dev/null
}
name="$(basename "$db"), $classify, $basis"
if [ "${COUNT:-}" = instructions ]; then
  count() {  # count NAME COMMAND...: the instructions of one run under callgrind
    local file=$out/$1; shift
    "$@" valgrind --tool=callgrind --callgrind-out-file="$file" 2> /dev/null
    awk '/^summary:/ { print $2 }' "$file"
  }
  s=$(count shell run_shell) r=$(count reporter run_reporter)
  awk -v s="$s" -v r="$r" -v n="$name" 'BEGIN {
    printf "%s: shell %.0f M instructions, vorlex-report %.0f M, ratio %.3f\n", n, s / 1e6,
      r / 1e6, r / s }'
  exit 0
fi
now() { date +%s%N; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
shell_ns=() report_ns=()
for _ in $(seq "$rounds"); do
  a=$(now); run_shell; b=$(now)
  run_reporter
  c=$(now)
  shell_ns+=($((b - a))) report_ns+=($((c - b)))
done
s=$(median "${shell_ns[@]}") r=$(median "${report_ns[@]}")
awk -v s="$s" -v r="$r" -v n="$name" 'BEGIN {
  printf "%s: shell %.3f s, vorlex-report %.3f s, ratio %.2f\n", n, s / 1e9, r / 1e9, r / s }'
