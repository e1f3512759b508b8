#include "report/ReportOptions.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "output/FilingText.h"
#include "tax/FormFields.h"
#include "util/uString.h"

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

// Every field that --field takes: the five, then the further figures.
std::string FieldChoices(const std::string& between, const std::string& beforeLast) {
  return FieldNumbers(kFormFields, between, between) + between +
         FieldNumbers(kFurtherFields, between, beforeLast);
}

// A fixed number of decimal digits, nothing else.
// The value of an option that takes one of two words.
template <typename Value>
Value EitherOf(const std::string& option, const std::string& text,
               std::pair<const char*, Value> first, std::pair<const char*, Value> second) {
  if (text == first.first) return first.second;
  if (text == second.first) return second.second;
  throw EUsage(option + ": \"" + first.first + "\" oder \"" + second.first + "\" erwartet: \"" +
               text + "\"");
}

std::optional<int> Digits(std::string_view text, std::size_t count) {
  if (text.size() != count ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  int value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

int Year(std::string_view text, const std::string& option) {
  const auto year = Digits(text, 4);
  if (!year || *year < 1)
    throw EUsage(option + ": Jahr als JJJJ erwartet: \"" + std::string(text) + "\"");
  return *year;
}

TTaxPeriod YearOption(std::string_view text) {
  return YearPeriod(Year(text, "--year"));
}

TTaxPeriod QuarterOption(std::string_view text) {
  const auto bad = [&] {
    return EUsage("--quarter: Quartal als JJJJ-QN erwartet (N 1 bis 4): \"" + std::string(text) +
                  "\"");
  };
  if (text.size() != 7 || text[4] != '-' || (text[5] != 'Q' && text[5] != 'q')) throw bad();
  const int year = Year(text.substr(0, 4), "--quarter");
  const auto quarter = Digits(text.substr(6), 1);
  if (!quarter || *quarter < 1 || *quarter > 4) throw bad();
  return QuarterPeriod(year, *quarter);
}

TTaxPeriod MonthOption(std::string_view text) {
  const auto month = text.size() == 7 && text[4] == '-' ? Digits(text.substr(5), 2) : std::nullopt;
  if (!month || *month < 1 || *month > 12) {
    throw EUsage("--month: Monat als JJJJ-MM erwartet: \"" + std::string(text) + "\"");
  }
  return MonthPeriod(Year(text.substr(0, 4), "--month"), *month);
}

CalendarDate DayOption(std::string_view text, const std::string& option) {
  std::optional<int> month, day;
  if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
    month = Digits(text.substr(5, 2), 2);
    day = Digits(text.substr(8, 2), 2);
  }
  const auto year = Digits(text.substr(0, 4), 4);
  if (!year || !month || !day || !IsValidDate(*year, *month, *day)) {
    throw EUsage(option + ": Tag als JJJJ-MM-TT erwartet: \"" + std::string(text) + "\"");
  }
  return {*year, *month, *day};
}

int64_t AmountOption(std::string_view text, const std::string& option) {
  const std::optional<int64_t> cents = ParseEuroAmount(text);
  if (!cents) {
    throw EUsage(option + ": Betrag in Euro erwartet, z. B. 1234,56: \"" + std::string(text) +
                 "\"");
  }
  return *cents;
}

}  // namespace

ReportOptions ParseReportArguments(const std::vector<std::string>& args) {
  ReportOptions options;
  std::vector<std::string> seen;
  std::optional<TTaxPeriod> period;
  std::optional<CalendarDate> from, to;
  std::string fromText, toText;
  int periodKinds = 0;

  if (std::find_if(args.begin(), args.end(),
                   [](const std::string& a) { return a == "--help" || a == "-h"; }) != args.end()) {
    options.help = true;
    return options;
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> value;
    if (name.rfind("--", 0) != 0) throw EUsage("Unerwartetes Argument: \"" + name + "\"");
    if (const std::size_t eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    static const char* const kOptions[] = {"--db",  "--year",  "--quarter", "--month",
                                           "--from", "--to",   "--basis",   "--csv",
                                           "--format", "--strict", "--field", "--overview",
                                           "--table", "--zm", "--classify", "--sales", "--kz39",
                                           "--extension", "--quarterly", "--special-prepayment",
                                           "--elster", "--ledger", "--mark-filed", "--filed-on",
                                           "--ticket", "--note", "--changes", "--record"};
    if (std::find(std::begin(kOptions), std::end(kOptions), name) == std::end(kOptions)) {
      throw EUsage("Unbekannte Option: \"" + name + "\"");
    }
    if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
      throw EUsage(name + " ist mehrfach angegeben");
    }
    seen.push_back(name);
    if (name == "--strict" || name == "--extension" || name == "--quarterly" ||
        name == "--elster" || name == "--mark-filed" || name == "--changes") {
      if (value) throw EUsage(name + " hat keinen Wert");
      (name == "--strict"       ? options.strict
       : name == "--extension"  ? options.extension
       : name == "--quarterly"  ? options.quarterly
       : name == "--mark-filed" ? options.markFiled
       : name == "--changes"    ? options.changes
                                : options.elster) = true;
      continue;
    }
    if (!value) {
      if (i + 1 >= args.size()) throw EUsage(name + " braucht einen Wert");
      value = args[++i];
    }

    if (name == "--db") {
      if (value->empty()) throw EUsage("--db braucht einen Dateinamen");
      options.db = *value;
    } else if (name == "--csv") {
      if (value->empty()) throw EUsage("--csv braucht einen Dateinamen oder \"-\"");
      options.csv = *value;
    } else if (name == "--table" || name == "--zm") {
      if (value->empty()) throw EUsage(name + " braucht einen Dateinamen oder \"-\"");
      (name == "--table" ? options.table : options.zm) = *value;
    } else if (name == "--format") {
      if (*value != "text" && *value != "json") {
        throw EUsage("--format: \"text\" oder \"json\" erwartet: \"" + *value + "\"");
      }
      options.json = *value == "json";
    } else if (name == "--basis") {
      if (EqualsIgnoringAsciiCase(*value, BasisText(TaxationBasis::Ist))) {
        options.basis = TaxationBasis::Ist;
      } else if (EqualsIgnoringAsciiCase(*value, BasisText(TaxationBasis::Soll))) {
        options.basis = TaxationBasis::Soll;
      } else {
        throw EUsage("--basis: \"ist\" oder \"soll\" erwartet: \"" + *value + "\"");
      }
    } else if (name == "--classify") {
      options.classification.rules = EitherOf<Classification>(
          name, *value, {"simple", Classification::Simple}, {"exact", Classification::Exact});
    } else if (name == "--sales") {
      options.classification.sales = EitherOf<ForeignSales>(
          name, *value, {"goods", ForeignSales::Goods}, {"services", ForeignSales::Services});
    } else if (name == "--field") {
      const std::optional<int> field = Digits(*value, 2);
      const FormField* form = field ? FindFormField(*field) : nullptr;
      if (form == nullptr || !HasEntries(*form)) {
        throw EUsage("--field: Kennzahl " + FieldChoices(", ", " oder ") + " erwartet: \"" +
                     *value + "\"");
      }
      options.field = field;
    } else if (name == "--ledger") {
      if (value->empty()) throw EUsage("--ledger braucht einen Dateinamen");
      options.ledger = *value;
    } else if (name == "--filed-on") {
      options.filedOn = DayOption(*value, name);
    } else if (name == "--ticket") {
      options.ticket = *value;
    } else if (name == "--note") {
      options.note = *value;
    } else if (name == "--record") {
      if (value->empty()) throw EUsage("--record braucht einen Dateinamen");
      options.record = *value;
    } else if (name == "--overview") {
      options.overview = Year(*value, "--overview");
    } else if (name == "--special-prepayment") {
      options.specialPrepayment = Year(*value, name);
      // The year after must be one of the calendar's.
      if (*options.specialPrepayment > 9998) throw EUsage(name + ": Jahr bis 9998 erwartet");
    } else if (name == "--kz39") {
      options.kz39 = AmountOption(*value, name);
    } else if (name == "--year") {
      period = YearOption(*value);
      ++periodKinds;
    } else if (name == "--quarter") {
      period = QuarterOption(*value);
      ++periodKinds;
    } else if (name == "--month") {
      period = MonthOption(*value);
      ++periodKinds;
    } else if (name == "--from") {
      from = DayOption(*value, name);
      fromText = *value;
      if (!to) ++periodKinds;
    } else if (name == "--to") {
      to = DayOption(*value, name);
      toText = *value;
      if (!from) ++periodKinds;
    }
  }
  // Standard output takes one document.
  std::vector<std::string> toStdout;
  if (options.json) toStdout.push_back("--format json");
  if (options.csv == "-") toStdout.push_back("--csv -");
  if (options.table == "-") toStdout.push_back("--table -");
  if (options.zm == "-") toStdout.push_back("--zm -");
  if (toStdout.size() > 1) {
    throw EUsage(toStdout[0] + " und " + toStdout[1] + " schreiben beide auf die Standardausgabe");
  }

  if (from.has_value() != to.has_value()) {
    throw EUsage(from ? "--from braucht --to" : "--to braucht --from");
  }
  if (periodKinds > 1) {
    throw EUsage("Nur ein Zeitraum: --year, --quarter, --month oder --from/--to");
  }
  if (options.overview) {
    // The overview is a year of its own, without a list to narrow or hints.
    if (periodKinds > 0) throw EUsage("--overview zeigt ein ganzes Jahr; kein weiterer Zeitraum");
    if (options.field) throw EUsage("--overview und --field schlie\xDF" "en einander aus");
    if (options.strict) throw EUsage("--strict gilt nicht f\xFCr --overview");
    if (options.table) throw EUsage("--overview und --table schlie\xDF" "en einander aus");
    if (options.zm) throw EUsage("--overview und --zm schlie\xDF" "en einander aus");
  }
  if (options.specialPrepayment) {
    // The special prepayment is one figure from a year's months.
    if (periodKinds > 0 || options.overview || options.field || options.strict || options.table ||
        options.zm || options.csv || options.kz39 || options.elster) {
      throw EUsage("--special-prepayment rechnet aus einem ganzen Jahr; dazu passen nur --db, "
                   "--basis, --format, --extension und --quarterly");
    }
  } else if (options.quarterly) {
    throw EUsage("--quarterly gilt nur f\xFCr --special-prepayment");
  }
  if (options.kz39 && !(period && period->PeriodKind == TPeriodKind::Monat && period->Month == 12)) {
    throw EUsage("--kz39 gilt nur f\xFCr den Dezember (--month JJJJ-12): Nur die "
                 "Dezember-Voranmeldung zieht die Sondervorauszahlung als Kz 39 ab");
  }
  // Field 39 is there only for a trader with the extension.
  if (options.kz39) options.extension = true;
  if (options.elster && (options.overview || options.field)) {
    throw EUsage("--elster zeigt die Kennzahlen eines Laufs; nicht mit --overview oder --field");
  }
  if (!options.markFiled) {
    for (const char* option : {"--filed-on", "--ticket", "--note", "--record"}) {
      if (std::find(seen.begin(), seen.end(), option) != seen.end()) {
        throw EUsage(std::string(option) + " gilt nur mit --mark-filed");
      }
    }
  }
  if (options.changes) {
    // Every filed period with its own basis, no run's list.
    for (const char* option : {"--year", "--quarter", "--month", "--from", "--to", "--basis",
                               "--csv", "--table", "--zm", "--field", "--overview", "--strict",
                               "--mark-filed", "--format", "--kz39", "--extension",
                               "--quarterly", "--special-prepayment", "--elster"}) {
      if (std::find(seen.begin(), seen.end(), option) != seen.end()) {
        throw EUsage(std::string("--changes und ") + option + " schlie\xDF" "en einander aus");
      }
    }
  }
  if (options.markFiled &&
      (options.overview || options.specialPrepayment || from ||
       (period && period->PeriodKind == TPeriodKind::Jahr))) {
    throw EUsage("--mark-filed: als abgegeben vermerkt wird ein Monat (--month) oder ein "
                 "Quartal (--quarter)");
  }
  if (options.zm && (from || (period && (period->PeriodKind == TPeriodKind::Jahr)))) {
    throw EUsage("--zm: die Zusammenfassende Meldung gilt f\xFCr einen Monat (--month) oder ein "
                 "Quartal (--quarter)");
  }
  if (from) {
    // A range that ends before it begins selects nothing; its zeros would pass
    // for a period without business.
    period = RangePeriod(*from, *to);
    if (period->Reversed()) throw EUsage("--from " + fromText + " liegt nach --to " + toText);
  }
  options.period = period;
  return options;
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
