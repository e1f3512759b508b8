// The EC sales list (Zusammenfassende Meldung) as the import file of the
// federal tax office's portal (BZSt), for a month or a quarter.
#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tax/Classification.h"
#include "tax/EcSalesList.h"
#include "tax/RunEntry.h"
#include "tax/TaxTotals.h"
#include "tax/TaxationBasis.h"
#include "util/FormatSettings.h"

namespace vorlex {

class TDBase;

// The portal's CSV import of the list, as its import help describes version
// 3.0: the version line, the column titles, then one line per VAT id with the
// VAT id (its country prefix included, version 2.0 joined the two columns),
// the sum in whole euros and the kind of supply. All of it in this one table,
// so that a new version of the portal is met here.
//
// Not confirmed against the portal itself: whether it wants the Excel sheet's
// version line "#ve..." after "#v3.0" (the file is not made with that sheet,
// so it is left out), whether the column titles must read exactly so, and
// which line ends it takes (CR LF here).
struct EcSalesImportLayout {
  std::array<std::string_view, 2> headerLines;
  char separator;
  std::string_view goodsSupply;  // the kind of supply: L goods, D triangular, S services
  std::string_view servicesSupply;
  std::string_view lineEnd;
  size_t maxRows;  // rows the portal takes in one file
};

inline constexpr EcSalesImportLayout kEcSalesImport = {
    {"#v3.0", "Umsatzsteuer-Identifikationsnummer (USt-IdNr.),Summe (Euro),Art der Leistung"},
    ',',
    "L",
    "S",
    "\r\n",
    1500,
};

// Why no file is written: the period, VAT ids to correct, too many rows. The
// message is UTF-8 and lists what to correct.
class EEcSalesRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The file's bytes for a run of firstDay..lastDay (UTF-8, ASCII in fact):
// the supplies of field 41 as goods (L), those of field 21 as services (S).
// Under the simple classification it is refused while an order to a customer
// with a VAT id of a member state is not in field 41. Raises EEcSalesRefused.
// The days of a refusal's message are written in format.
std::string EcSalesBytes(const std::vector<RunEntry>& entries, const TaxTotals& totals,
                         double firstDay, double lastDay, const FormatSettings& format,
                         Classification rules = Classification::Simple);

// The same for a run of firstDay..lastDay on basis, whose entries and totals
// are given: made of them where the run took the orders by their invoice
// date, else of the orders invoiced in the period, read from db. A period the
// list is not filed for is refused before anything is read.
// Under the exact classification always made of the run.
std::string EcSalesBytesOfRun(TDBase& db, TaxationBasis basis, const std::vector<RunEntry>& entries,
                              const TaxTotals& totals, double firstDay, double lastDay,
                              const FormatSettings& format, ClassificationChoice choice = {});

// The rows of that file (EcSalesBytesOfRun), refused the same way.
EcSalesList EcSalesListOfRun(TDBase& db, TaxationBasis basis, const std::vector<RunEntry>& entries,
                             const TaxTotals& totals, double firstDay, double lastDay,
                             const FormatSettings& format, ClassificationChoice choice = {});

// The import file of a list made already.
std::string EcSalesImportBytes(const EcSalesList& list);

// The correction of a filed list as text (Windows-1252): a heading, then one
// line per row in the import file's form with what was filed.
std::vector<std::string> EcSalesCorrectionLines(const std::vector<EcSalesCorrectionRow>& rows);

// What a trader is told with the list of a run on basis, where its orders are
// not the run's (UTF-8); empty where they are.
std::string EcSalesBasisNote(TaxationBasis basis, ClassificationChoice choice = {});

}  // namespace vorlex
