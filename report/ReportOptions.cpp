#include "report/ReportOptions.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "output/FilingText.h"
#include "report/ReportUsage.h"
#include "tax/FormFields.h"
#include "util/ProgramText.h"
#include "util/uString.h"

namespace vorlex {

namespace {

// The value of an option that takes one of two words.
template <typename Value>
Value EitherOf(const std::string& option, const std::string& text,
               std::pair<const char*, Value> first, std::pair<const char*, Value> second) {
  if (text == first.first) return first.second;
  if (text == second.first) return second.second;
  throw EUsage(option + ": \"" + first.first + "\" oder \"" + second.first + "\" erwartet: \"" +
               text + "\"");
}

// A fixed number of decimal digits, nothing else.
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
    if (options.field) throw EUsage("--overview und --field schließen einander aus"_cp1252);
    if (options.strict) throw EUsage("--strict gilt nicht für --overview"_cp1252);
    if (options.table) throw EUsage("--overview und --table schließen einander aus"_cp1252);
    if (options.zm) throw EUsage("--overview und --zm schließen einander aus"_cp1252);
  }
  if (options.specialPrepayment) {
    // The special prepayment is one figure from a year's months.
    if (periodKinds > 0 || options.overview || options.field || options.strict || options.table ||
        options.zm || options.csv || options.kz39 || options.elster) {
      throw EUsage("--special-prepayment rechnet aus einem ganzen Jahr; dazu passen nur --db, "
                   "--basis, --format, --extension und --quarterly");
    }
  } else if (options.quarterly) {
    throw EUsage("--quarterly gilt nur für --special-prepayment"_cp1252);
  }
  if (options.kz39 && !(period && period->PeriodKind == TPeriodKind::Monat && period->Month == 12)) {
    throw EUsage(
        "--kz39 gilt nur für den Dezember (--month JJJJ-12): Nur die "
        "Dezember-Voranmeldung zieht die Sondervorauszahlung als Kz 39 ab"_cp1252);
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
        throw EUsage(std::string("--changes und ") + option + " schließen einander aus"_cp1252);
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
    throw EUsage(
        "--zm: die Zusammenfassende Meldung gilt für einen Monat (--month) oder ein "
        "Quartal (--quarter)"_cp1252);
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

}  // namespace vorlex
