#!/usr/bin/env bash
# The whole vorlex-report process against the sqlite3 shell printing what a run
# reads (the orders query, the cash-book query and one grouped query of the
# line sums), both to /dev/null, taken in turns; medians of ROUNDS. The
# reporter classifies by CLASSIFICATION (its --classify).
#   bash bench/vs-shell.sh REPORTER DATABASE [ROUNDS (3)] [YEAR (2024)] [SHELL (sqlite3)]
#                          [CLASSIFICATION (simple)]
# for example: bash bench/vs-shell.sh build/report/vorlex-report build/bench/data/year-100k-index.db
set -euo pipefail
[ $# -ge 2 ] || { sed -n '2,8p' "$0"; exit 2; }
reporter=$1 db=$2 rounds=${3:-3} year=${4:-2024} shell=${5:-sqlite3} classify=${6:-simple}
# Day numbers as Pelmora stores dates: days since 30 December 1899.
day() { echo $(( $(date -ud "$1" +%s) / 86400 + 25569 )); }
first=$(day "$year-01-01") next=$(day "$((year + 1))-01-01")
period="AND (termin >= $first) AND (termin < $next)"
sql=$(mktemp) csv=$(mktemp)
trap 'rm -f "$sql" "$csv"' EXIT
cat > "$sql" <<SQL
PRAGMA temp_store = MEMORY;
SELECT DISTINCT auftrag.*, besitzer.name AS b_name,besitzer.vorname AS b_vor, besitzer.kundennr AS b_kdnr, besitzer.land, ust_id FROM (auftrag LEFT JOIN besitzer ON auftrag.besitzerindex=besitzer.id) WHERE (auftrag.papierkorb = 0) $period ORDER BY besitzer.land,termin;
SELECT DISTINCT kasse.*, besitzer.name AS k_name, besitzer.vorname, besitzer.kundennr, lieferant.name as l_name FROM (kasse LEFT JOIN besitzer ON (besitzer.id = kasse.besitzerindex)) LEFT JOIN lieferant ON (lieferant.id = kasse.lieferantindex) WHERE (kasse.papierkorb = 0) $period ORDER BY kasse.neinaus, kasse.bezeichnung,termin;
SELECT auftragindex, SUM(anzahl*(preis*(mwst/100.0))) AS mwst_sum, SUM(anzahl*preis) AS betrag_sum FROM verbindauftrag WHERE auftragindex IN (SELECT id FROM auftrag WHERE (auftrag.papierkorb = 0) $period) GROUP BY auftragindex;
SQL
now() { date +%s%N; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
shell_ns=() report_ns=()
for _ in $(seq "$rounds"); do
  a=$(now); "$shell" "$db" < "$sql" > /dev/null; b=$(now)
  "$reporter" --db "$db" --year "$year" --basis soll --classify "$classify" --csv "$csv" \
    > /dev/null
  c=$(now)
  shell_ns+=($((b - a))) report_ns+=($((c - b)))
done
s=$(median "${shell_ns[@]}") r=$(median "${report_ns[@]}")
awk -v s="$s" -v r="$r" -v db="$(basename "$db")" -v c="$classify" 'BEGIN {
  printf "%s, %s: shell %.3f s, vorlex-report %.3f s, ratio %.2f\n", db, c, s / 1e9, r / 1e9, r / s }'
