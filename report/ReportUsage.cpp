#include "report/ReportUsage.h"

#include <array>
#include <string>
#include <vector>

#include "tax/FormFields.h"

namespace vorlex {

namespace {

// The numbers of a table's fields that entries go into, "41, 44 oder 66".
template <size_t N>
std::string FieldNumbers(const std::array<FormField, N>& table, const std::string& between,
                         const std::string& beforeLast) {
  std::vector<int> numbers;
  for (const FormField& field : table) {
    if (HasEntries(field) && field.number != 0) numbers.push_back(field.number);
  }
  std::string text;
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) text += i + 1 == numbers.size() ? beforeLast : between;
    text += std::to_string(numbers[i]);
  }
  return text;
}

}  // namespace

std::string FieldChoices(const std::string& between, const std::string& beforeLast) {
  return FieldNumbers(kFormFields, between, between) + between +
         FieldNumbers(kFurtherFields, between, beforeLast);
}

std::string ReportUsage(System system) {
  const bool windows = system == System::Windows;
  return std::string("Aufruf: vorlex-report [--db FILE]\n"
         "         (--year YYYY | --quarter YYYY-QN | --month YYYY-MM |"
         " --from YYYY-MM-DD --to YYYY-MM-DD)\n"
         "         [--basis ist|soll] [--csv FILE] [--format text|json] [--strict]\n"
         "         [--field " + FieldChoices("|", "|") + "]\n"
         "         [--table FILE] [--zm FILE]\n"
         "         [--classify simple|exact] [--sales goods|services]\n"
         "         [--extension] [--kz39 AMOUNT] [--elster]\n"
         "         [--ledger FILE] [--mark-filed [--filed-on YYYY-MM-DD] [--ticket TEXT]\n"
         "         [--note TEXT] [--record FILE.pdf]]\n"
         "        vorlex-report [--db FILE] --overview YYYY [--basis ist|soll] [--csv FILE]\n"
         "         [--format text|json] [--classify simple|exact] [--sales goods|services]\n"
         "        vorlex-report [--db FILE] --special-prepayment YYYY [--basis ist|soll]\n"
         "         [--extension] [--quarterly] [--format text|json]\n"
         "        vorlex-report [--db FILE] [--ledger FILE] --changes\n"
         "\n"
         "Wertet die Auftr\xE4ge und das Kassenbuch eines Zeitraums aus und gibt die\n"
         "\xDC"
         "berschrift, alle Zeilen der Liste und die Werte der Kennzahlen 41, 44, 81,\n"
         "86 und 66 f\xFCr die Umsatzsteuer-Voranmeldung aus, dazu Kennzahl 83 (die\n"
         "verbleibende Vorauszahlung, negativ eine Erstattung; aus den Kennzahlen 81\n"
         "und 86 in vollen Euro wie im Portal des Finanzamts) und unter \"Hinweise:\"\n"
         "Eintr\xE4ge, die wahrscheinlich in der falschen Kennzahl stehen.\n"
         "\n"
         "  --db FILE          die Pelmora-Datenbank; ohne diese Angabe wird sie \xFC"
         "ber\n"
         "                     Pelmoras Einstellungsdatei pelmora.ini gefunden\n") +
         (windows ? "                     (%APPDATA%\\Pelmora)\n"
                  : "                     ($APPDATA/Pelmora, sonst $XDG_CONFIG_HOME/Pelmora oder\n"
                    "                     ~/.config/Pelmora)\n") +
         "  --year YYYY        ein ganzes Jahr\n"
         "  --quarter YYYY-QN  ein Quartal (N von 1 bis 4)\n"
         "  --month YYYY-MM    ein Monat\n"
         "  --from YYYY-MM-DD --to YYYY-MM-DD\n"
         "                     ein freier Zeitraum, beide Tage eingeschlossen\n"
         "                     (ohne Zeitraum: der laufende Monat)\n"
         "  --basis ist|soll   Auftr\xE4ge nach Zahlungsdatum (ist, die Vorgabe) oder\n"
         "                     nach Rechnungsdatum (soll)\n"
         "  --classify simple|exact\n"
         "                     die Zuordnung zu den Kennzahlen: simple (einfach, die\n"
         "                     Vorgabe) nach dem Land des Kunden wie bisher; exact\n"
         "                     (genau) nach jedem EU-Staat, den Steuers\xE4tzen der\n"
         "                     Positionen und mit den Kennzahlen 21, 35, 36, 43, 45 und\n"
         "                     \"0 % / steuerfrei\"\n"
         "  --sales goods|services\n"
         "                     Ums\xE4tze mit dem Ausland unter exact: Lieferungen (goods,\n"
         "                     die Vorgabe; Kz 41 und 43) oder sonstige Leistungen\n"
         "                     (services; Kz 21 und 45)\n"
         "  --csv FILE         schreibt die Liste au\xDF"
         "erdem als CSV-Datei, wie der Knopf\n"
         "                     \"-> .CSV\" im Fenster; \"-\" schreibt nur die CSV-Daten auf\n"
         "                     die Standardausgabe\n"
         "  --table FILE       schreibt alle Eintr\xE4ge au\xDF" "erdem als Tabelle f\xFCr eine\n"
         "                     Tabellenkalkulation (UTF-8, \";\", eine Kopfzeile, je\n"
         "                     Eintrag eine Zeile, danach die Kennzahlen); \"-\" nur\n"
         "                     auf die Standardausgabe, z. B.\n"
         "                       Art;Datum;Beleg;Kunde oder Lieferant;Land;USt-IdNr.;...\n"
         "                       Rechnung;22.01.2026;Rechnung 2026-001;Teestube Gruber;A;...\n"
         "  --zm FILE          schreibt die Zusammenfassende Meldung als Importdatei f\xFCr\n"
         "                     das BZSt-Portal (nur f\xFCr einen Monat oder ein Quartal):\n"
         "                     je USt-IdNr. die Summe der Lieferungen in Kz 41 in vollen\n"
         "                     Euro, nach Rechnungsdatum wie mit --basis soll, auch unter\n"
         "                     ist; \"-\" nur auf die Standardausgabe, z. B.\n"
         "                       #v3.0\n"
         "                       Umsatzsteuer-Identifikationsnummer (USt-IdNr.),...\n"
         "                       ATU63452871,468,L\n"
         "                     Weicht die Meldung eines abgegebenen Zeitraums von der\n"
         "                     abgegebenen ab, folgen den Kennzahlen die Zeilen der\n"
         "                     berichtigten Meldung (Kz 03): nur die ge\xE4nderten, mit\n"
         "                     der ganzen neuen Summe, eine weggefallene mit 0\n"
         "  --format text|json text (die Vorgabe) oder der ganze Lauf als ein\n"
         "                     JSON-Dokument: Zeitraum, Versteuerung, alle Eintr\xE4ge,\n"
         "                     Summen, Kennzahlen 41, 44, 81, 86, 66, 83 und Hinweise\n"
         "  --strict           Exit-Status 3, wenn der Lauf Hinweise hat\n"
         "  --field N          nur die Eintr\xE4ge, die in Kennzahl N eingehen, und\n"
         "                     deren Wert: " + FieldChoices(", ", " oder ") + "\n"
         "                     (" + FieldNumbers(kFurtherFields, ", ", " und ") +
         " f\xFCllt nur --classify exact); die Hinweise\n"
         "                     zu diesen Eintr\xE4gen; mit --format json nur diese\n"
         "                     Eintr\xE4ge (jeder Eintrag nennt unter \"field\" seine\n"
         "                     Kennzahl); --csv schreibt weiter die ganze Liste\n"
         "  --overview YYYY    die Jahres\xFC" "bersicht: eine Zeile je Monat, je Quartal\n"
         "                     und f\xFCr das Jahr mit den Kennzahlen 41, 44, 81, 86, 66\n"
         "                     und 83, wie ein Lauf des Zeitraums sie zeigt; --csv und\n"
         "                     --format json geben dieselbe Tabelle als Daten\n"
         "  --extension        mit Dauerfristverl\xE4ngerung: die Voranmeldung ist einen\n"
         "                     Monat sp\xE4ter f\xE4llig (\"Abgabe bis:\" nach den Kennzahlen\n"
         "                     eines Monats oder Quartals; auf den n\xE4" "chsten Werktag\n"
         "                     verschoben, wenn der Tag auf ein Wochenende oder einen\n"
         "                     bundesweiten Feiertag f\xE4llt; Landesfeiertage nicht)\n"
         "  --kz39 AMOUNT      die Sondervorauszahlung, die die Dezember-Voranmeldung\n"
         "                     als Kz 39 abzieht (nur mit --month JJJJ-12, z. B.\n"
         "                     --kz39 1234,56); Kz 83 ist dann um sie kleiner\n"
         "  --elster           die Kennzahlen so, wie das Formular in Mein ELSTER sie\n"
         "                     nimmt: Bemessungsgrundlagen in vollen Euro, Steuern und\n"
         "                     Kz 66, 39, 83 in Euro und Cent; nur Werte ungleich 0\n"
         "  --special-prepayment YYYY\n"
         "                     die Sondervorauszahlung f\xFCr das Folgejahr: ein Elftel\n"
         "                     der Vorauszahlungen der Monate von YYYY, anzumelden bis\n"
         "                     10. Februar; nur mit --extension (sonst und mit\n"
         "                     --quarterly ist keine zu leisten)\n"
         "  --quarterly        die Voranmeldungen werden viertelj\xE4hrlich abgegeben\n"
         "  --ledger FILE      die Ablage der Abgaben, Vorlex' eigene Datenbank (ohne\n"
         "                     diese Angabe $VORLEX_LEDGER, sonst\n" +
         (windows ? "                     %APPDATA%\\Vorlex\\vorlex.db)\n"
                  : "                     ~/.local/share/Vorlex/vorlex.db)\n") +
         "                     Ist der Zeitraum abgegeben, folgt den Kennzahlen, ob er\n"
         "                     seitdem unver\xE4ndert ist, und welche Eintr\xE4ge neu, weg\n"
         "                     oder ge\xE4ndert sind\n"
         "  --mark-filed       vermerkt den Monat oder das Quartal als abgegeben, mit\n"
         "                     allen Kennzahlen und Eintr\xE4gen; eine sp\xE4tere Abgabe\n"
         "                     desselben Zeitraums ist eine Berichtigung\n"
         "  --filed-on YYYY-MM-DD  der Tag der Abgabe (ohne diese Angabe heute)\n"
         "  --ticket TEXT      das Transferticket des Portals\n"
         "  --note TEXT        eine Notiz zur Abgabe\n"
         "  --record FILE.pdf  speichert den Beleg der Abgabe als PDF\n"
         "  --changes          alle abgegebenen Zeitr\xE4ume, die sich seit der Abgabe\n"
         "                     ge\xE4ndert haben (Exit-Status 3, wenn einer sich ge\xE4ndert\n"
         "                     hat)\n"
         "  --help             diese Hilfe\n"
         "\n" +
         (windows ? "Zahlen und Datumsangaben folgen dem Format in den Regionseinstellungen von\n"
                    "Windows; die Tabelle von --table hat immer ein Dezimalkomma und Tage als\n"
                    "TT.MM.JJJJ.\n"
                  : "Zahlen und Datumsangaben folgen dem Gebietsschema der Umgebung (LC_ALL, dann\n"
                    "LC_NUMERIC bzw. LC_TIME, dann LANG); die Tabelle von --table hat immer ein\n"
                    "Dezimalkomma und Tage als TT.MM.JJJJ.\n") +
         "Exit-Status: 0 Erfolg, 1 Auswertung oder Datei fehlgeschlagen (auch eine\n"
         "abgelehnte Zusammenfassende Meldung oder ein misslungener Vermerk der Abgabe),\n"
         "2 falsche Argumente, 3 Hinweise (nur mit --strict) oder ge\xE4nderte abgegebene\n"
         "Zeitr\xE4ume (--changes).\n";
}

}  // namespace vorlex
