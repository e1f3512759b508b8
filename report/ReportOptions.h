// The reporter's command line: which database, which period, which taxation
// basis, and where the CSV text goes.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tax/Classification.h"
#include "tax/TaxPeriod.h"
#include "tax/TaxationBasis.h"
#include "util/Platform.h"

namespace vorlex {

// A wrong command line; the message says what is wrong.
class EUsage : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ReportOptions {
  bool help = false;
  std::string db;                      // empty: found through Pelmora's settings file
  std::optional<TTaxPeriod> period;  // empty: the current month
  TaxationBasis basis = TaxationBasis::Ist;
  std::optional<std::string> csv;      // "-": standard output
  std::optional<std::string> table;    // the run as a table for a spreadsheet; "-": standard output
  std::optional<std::string> zm;       // the EC sales list for the portal; "-": standard output
  bool json = false;                   // the whole run as JSON instead of the text
  bool strict = false;                 // a run with hints ends with status 3
  std::optional<int> field;            // only the entries of form field 41, 44, 81, 86 or 66
  std::optional<int> overview;         // the year at a glance of this year, no run's list
  std::string ledger;                  // the ledger of filed returns; empty: the default one
  bool markFiled = false;              // record the run's month or quarter as filed
  std::optional<CalendarDate> filedOn;  // empty: today
  std::string ticket;                  // the portal's transfer ticket of the filing
  std::string note;
  std::optional<std::string> record;   // the filing's PDF record, with --mark-filed
  bool changes = false;                // every filed period that changed since filing
  ClassificationChoice classification;  // simple unless --classify exact; --sales
  // The filing calendar: field 39 in cents for a December run; the extension
  // for the due dates; the special prepayment the next year owes from this
  // year's months, for a monthly filer unless quarterly.
  std::optional<int64_t> kz39;
  bool extension = false;
  bool quarterly = false;
  std::optional<int> specialPrepayment;
  bool elster = false;  // the figures as the tax office's portal takes them
};

// The arguments after the program name, as bytes. Raises EUsage.
ReportOptions ParseReportArguments(const std::vector<std::string>& args);

// The usage text (Windows-1252), naming the settings folder and the source
// of number and date formats as the system has them.
std::string ReportUsage(System system = kSystem);

}  // namespace vorlex
