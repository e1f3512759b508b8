#include "report/ReportUsage.h"

#include <array>
#include <string>
#include <vector>

#include "tax/FormFields.h"
#include "util/ProgramText.h"

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
         "Wertet die Aufträge und das Kassenbuch eines Zeitraums aus und gibt die\n"
         "Überschrift, alle Zeilen der Liste und die Werte der Kennzahlen 41, 44, 81,\n"
         "86 und 66 für die Umsatzsteuer-Voranmeldung aus, dazu Kennzahl 83 (die\n"
         "verbleibende Vorauszahlung, negativ eine Erstattung; aus den Kennzahlen 81\n"
         "und 86 in vollen Euro wie im Portal des Finanzamts) und unter \"Hinweise:\"\n"
         "Einträge, die wahrscheinlich in der falschen Kennzahl stehen.\n"
         "\n"
         "  --db FILE          die Pelmora-Datenbank; ohne diese Angabe wird sie über\n"
         "                     Pelmoras Einstellungsdatei pelmora.ini gefunden\n"_cp1252) +
         (windows ? "                     (%APPDATA%\\Pelmora)\n"
                  : "                     ($APPDATA/Pelmora, sonst $XDG_CONFIG_HOME/Pelmora oder\n"
                    "                     ~/.config/Pelmora)\n") +
         "  --year YYYY        ein ganzes Jahr\n"
         "  --quarter YYYY-QN  ein Quartal (N von 1 bis 4)\n"
         "  --month YYYY-MM    ein Monat\n"
         "  --from YYYY-MM-DD --to YYYY-MM-DD\n"
         "                     ein freier Zeitraum, beide Tage eingeschlossen\n"
         "                     (ohne Zeitraum: der laufende Monat)\n"
         "  --basis ist|soll   Aufträge nach Zahlungsdatum (ist, die Vorgabe) oder\n"
         "                     nach Rechnungsdatum (soll)\n"
         "  --classify simple|exact\n"
         "                     die Zuordnung zu den Kennzahlen: simple (einfach, die\n"
         "                     Vorgabe) nach dem Land des Kunden wie bisher; exact\n"
         "                     (genau) nach jedem EU-Staat, den Steuersätzen der\n"
         "                     Positionen und mit den Kennzahlen 21, 35, 36, 43, 45 und\n"
         "                     \"0 % / steuerfrei\"\n"
         "  --sales goods|services\n"
         "                     Umsätze mit dem Ausland unter exact: Lieferungen (goods,\n"
         "                     die Vorgabe; Kz 41 und 43) oder sonstige Leistungen\n"
         "                     (services; Kz 21 und 45)\n"
         "  --csv FILE         schreibt die Liste außerdem als CSV-Datei, wie der Knopf\n"
         "                     \"-> .CSV\" im Fenster; \"-\" schreibt nur die CSV-Daten auf\n"
         "                     die Standardausgabe\n"
         "  --table FILE       schreibt alle Einträge außerdem als Tabelle für eine\n"
         "                     Tabellenkalkulation (UTF-8, \";\", eine Kopfzeile, je\n"
         "                     Eintrag eine Zeile, danach die Kennzahlen); \"-\" nur\n"
         "                     auf die Standardausgabe, z. B.\n"
         "                       Art;Datum;Beleg;Kunde oder Lieferant;Land;USt-IdNr.;...\n"
         "                       Rechnung;22.01.2026;Rechnung 2026-001;Teestube Gruber;A;...\n"
         "  --zm FILE          schreibt die Zusammenfassende Meldung als Importdatei für\n"
         "                     das BZSt-Portal (nur für einen Monat oder ein Quartal):\n"
         "                     je USt-IdNr. die Summe der Lieferungen in Kz 41 in vollen\n"
         "                     Euro, nach Rechnungsdatum wie mit --basis soll, auch unter\n"
         "                     ist; \"-\" nur auf die Standardausgabe, z. B.\n"
         "                       #v3.0\n"
         "                       Umsatzsteuer-Identifikationsnummer (USt-IdNr.),...\n"
         "                       ATU63452871,468,L\n"
         "                     Weicht die Meldung eines abgegebenen Zeitraums von der\n"
         "                     abgegebenen ab, folgen den Kennzahlen die Zeilen der\n"
         "                     berichtigten Meldung (Kz 03): nur die geänderten, mit\n"
         "                     der ganzen neuen Summe, eine weggefallene mit 0\n"
         "  --format text|json text (die Vorgabe) oder der ganze Lauf als ein\n"
         "                     JSON-Dokument: Zeitraum, Versteuerung, alle Einträge,\n"
         "                     Summen, Kennzahlen 41, 44, 81, 86, 66, 83 und Hinweise\n"
         "  --strict           Exit-Status 3, wenn der Lauf Hinweise hat\n"
         "  --field N          nur die Einträge, die in Kennzahl N eingehen, und\n"
         "                     deren Wert: "_cp1252 + FieldChoices(", ", " oder ") + "\n"
         "                     (" + FieldNumbers(kFurtherFields, ", ", " und ") +
         " füllt nur --classify exact); die Hinweise\n"
         "                     zu diesen Einträgen; mit --format json nur diese\n"
         "                     Einträge (jeder Eintrag nennt unter \"field\" seine\n"
         "                     Kennzahl); --csv schreibt weiter die ganze Liste\n"
         "  --overview YYYY    die Jahresübersicht: eine Zeile je Monat, je Quartal\n"
         "                     und für das Jahr mit den Kennzahlen 41, 44, 81, 86, 66\n"
         "                     und 83, wie ein Lauf des Zeitraums sie zeigt; --csv und\n"
         "                     --format json geben dieselbe Tabelle als Daten\n"
         "  --extension        mit Dauerfristverlängerung: die Voranmeldung ist einen\n"
         "                     Monat später fällig (\"Abgabe bis:\" nach den Kennzahlen\n"
         "                     eines Monats oder Quartals; auf den nächsten Werktag\n"
         "                     verschoben, wenn der Tag auf ein Wochenende oder einen\n"
         "                     bundesweiten Feiertag fällt; Landesfeiertage nicht)\n"
         "  --kz39 AMOUNT      die Sondervorauszahlung, die die Dezember-Voranmeldung\n"
         "                     als Kz 39 abzieht (nur mit --month JJJJ-12, z. B.\n"
         "                     --kz39 1234,56); Kz 83 ist dann um sie kleiner\n"
         "  --elster           die Kennzahlen so, wie das Formular in Mein ELSTER sie\n"
         "                     nimmt: Bemessungsgrundlagen in vollen Euro, Steuern und\n"
         "                     Kz 66, 39, 83 in Euro und Cent; nur Werte ungleich 0\n"
         "  --special-prepayment YYYY\n"
         "                     die Sondervorauszahlung für das Folgejahr: ein Elftel\n"
         "                     der Vorauszahlungen der Monate von YYYY, anzumelden bis\n"
         "                     10. Februar; nur mit --extension (sonst und mit\n"
         "                     --quarterly ist keine zu leisten)\n"
         "  --quarterly        die Voranmeldungen werden vierteljährlich abgegeben\n"
         "  --ledger FILE      die Ablage der Abgaben, Vorlex' eigene Datenbank (ohne\n"
         "                     diese Angabe $VORLEX_LEDGER, sonst\n"_cp1252 +
         (windows ? "                     %APPDATA%\\Vorlex\\vorlex.db)\n"
                  : "                     ~/.local/share/Vorlex/vorlex.db)\n") +
         "                     Ist der Zeitraum abgegeben, folgt den Kennzahlen, ob er\n"
         "                     seitdem unverändert ist, und welche Einträge neu, weg\n"
         "                     oder geändert sind\n"
         "  --mark-filed       vermerkt den Monat oder das Quartal als abgegeben, mit\n"
         "                     allen Kennzahlen und Einträgen; eine spätere Abgabe\n"
         "                     desselben Zeitraums ist eine Berichtigung\n"
         "  --filed-on YYYY-MM-DD  der Tag der Abgabe (ohne diese Angabe heute)\n"
         "  --ticket TEXT      das Transferticket des Portals\n"
         "  --note TEXT        eine Notiz zur Abgabe\n"
         "  --record FILE.pdf  speichert den Beleg der Abgabe als PDF\n"
         "  --changes          alle abgegebenen Zeiträume, die sich seit der Abgabe\n"
         "                     geändert haben (Exit-Status 3, wenn einer sich geändert\n"
         "                     hat)\n"
         "  --help             diese Hilfe\n"
         "\n"_cp1252 +
         (windows ? "Zahlen und Datumsangaben folgen dem Format in den Regionseinstellungen von\n"
                    "Windows; die Tabelle von --table hat immer ein Dezimalkomma und Tage als\n"
                    "TT.MM.JJJJ.\n"
                  : "Zahlen und Datumsangaben folgen dem Gebietsschema der Umgebung (LC_ALL, dann\n"
                    "LC_NUMERIC bzw. LC_TIME, dann LANG); die Tabelle von --table hat immer ein\n"
                    "Dezimalkomma und Tage als TT.MM.JJJJ.\n") +
         "Exit-Status: 0 Erfolg, 1 Auswertung oder Datei fehlgeschlagen (auch eine\n"
         "abgelehnte Zusammenfassende Meldung oder ein misslungener Vermerk der Abgabe),\n"
         "2 falsche Argumente, 3 Hinweise (nur mit --strict) oder geänderte abgegebene\n"
         "Zeiträume (--changes).\n"_cp1252;
}

}  // namespace vorlex
