#!/usr/bin/env bash
# The demo data again with its dates and amounts in columns of the text kind
# (DATETIME, DECIMAL) holding days a trace before midnight and reals of 17
# digits, text in some order lines' prices, an order without a valid payment
# date and a cash-book entry without a valid date: what tells one SQLite's
# text of a REAL from another's. Needs the sqlite3 shell.
#   make_reals_db.sh DEMO_DB OUTPUT_DB
set -euo pipefail
demo=$1
out=$2
rm -f "$out"
sqlite3 "$demo" .dump |
  sed -e 's/\(termin\|bezahltam\) DOUBLE/\1 DATETIME/g' \
      -e 's/\(betrag\|mwst\|preis\|skonto\) DOUBLE/\1 DECIMAL(10,2)/g' |
  sqlite3 "$out"
sqlite3 "$out" <<'SQL'
-- The next day less 7.3e-12, one step of the double below midnight.
UPDATE auftrag SET termin = termin + 1 - 7.3e-12, bezahltam = bezahltam + 1 - 7.3e-12
  WHERE id % 3 = 0;
UPDATE kasse SET termin = termin + 1 - 7.3e-12 WHERE id % 2 = 0;
UPDATE kasse SET betrag = betrag + 0.1 + 0.2, mwst = mwst + 4e-15 WHERE id % 3 <> 0;
UPDATE auftrag SET skonto = 0.1 + 0.2 WHERE id % 5 = 0;
UPDATE verbindauftrag SET preis = replace(printf('%.2f', preis), '.', ',') WHERE id % 4 = 0;
UPDATE auftrag SET bezahltam = 'zehn' WHERE id = (SELECT min(id) FROM auftrag WHERE bezahlt = -1);
UPDATE kasse SET termin = 'gestern' WHERE id = (SELECT max(id) FROM kasse);
SQL
