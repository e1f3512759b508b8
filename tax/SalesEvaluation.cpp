#include "tax/SalesEvaluation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/uDB.h"
#include "tax/ExactClassification.h"
#include "tax/FieldRead.h"
#include "tax/PeriodBounds.h"
#include "tax/auftragU.h"

namespace vorlex {

namespace {

const char* DateColumn(TaxationBasis basis) {
  return basis == TaxationBasis::Ist ? "bezahltam" : "termin";
}

TotalKind SalesTotal(std::string_view land, std::string_view ustId) {
  // Only the customer's country and VAT identification number decide; the
  // order's VAT rate does not.
  if (land == "CH") return TotalKind::NichtEU;
  if (land == "A" || land == "E" || land == "LUX") {
    return ustId.empty() ? TotalKind::InnergemOhneUStId : TotalKind::InnergemMitUStId;
  }
  return TotalKind::Umsatz19;
}

// Under "Ist" an order counts whole once anything of it is paid. What has
// come in is read for the hints only: a payment field that is no number
// leaves the order without one and changes no figure.
struct PaymentFields {
  TDBField paid{"bezahlt"};
  TDBField received{"davonbezahlt"};
};

void ReadPayment(const TDBTable& order, const PaymentFields& fields, RunEntry& entry) {
  try {
    if (order.FieldInt(fields.paid) == -1) return;
    entry.received = order.FieldFloat(fields.received);
    entry.partlyPaid = true;
  } catch (const EConvertError&) {
    entry.partlyPaid = false;
  }
}

const char* const kOrdersFrom =
    " FROM (auftrag LEFT JOIN besitzer ON auftrag.besitzerindex=besitzer.id)";

// The orders of the basis, before the period's condition.
const char* OrdersOfBasis(TaxationBasis basis) {
  return basis == TaxationBasis::Ist
             ? "(auftrag.papierkorb = 0) AND ((bezahlt = -1) OR(davonbezahlt IS NOT 0))"
             : "(auftrag.papierkorb = 0)";
}

}  // namespace

namespace {

// The condition that a date column lies in the period: the whole last day
// belongs to it, a time of day included.
std::string DateWithin(const std::string& column, double firstDay, double lastDay) {
  return "(" + column + " >= " + SQLFirstDay(firstDay) + ") AND (" + column + " < " +
         SQLDayAfter(lastDay) + ")";
}

}  // namespace

std::string SalesFromWhere(double firstDay, double lastDay, TaxationBasis basis) {
  return std::string(kOrdersFrom) + " WHERE " + OrdersOfBasis(basis) + "AND " +
         DateWithin(DateColumn(basis), firstDay, lastDay) + " ";
}

namespace {

// The columns of an order and its customer that a run reads.
const char* const kOrderColumns =
    "SELECT DISTINCT auftrag.*, besitzer.name AS b_name,besitzer.vorname AS b_vor, "
    "besitzer.kundennr AS b_kdnr, besitzer.land, ust_id";

std::string OrdersQuery(const std::string& fromWhere, TaxationBasis basis) {
  std::string sql = kOrderColumns;
  sql += fromWhere;
  sql += " ORDER BY besitzer.land,";
  sql += DateColumn(basis);
  return sql;
}

}  // namespace

std::string SalesQuery(double firstDay, double lastDay, TaxationBasis basis) {
  return OrdersQuery(SalesFromWhere(firstDay, lastDay, basis), basis);
}

namespace {

// Which orders of a result a pass takes.
enum class OrdersTaken : uint8_t {
  All,
  NotIntraCommunity,  // exact under "Ist": those by their payment date
  IntraCommunity,     // exact under "Ist": those by their invoice date
  // Exact under "Ist" in one pass: the intra-Community supplies by their
  // invoice date after all others by their payment date, as the two passes
  // give them.
  EachByItsDate,
};

// The SQL function that tells an intra-Community supply by the customer's
// country and VAT id, as IsIntraCommunity does.
const char* const kIntraCommunityFunction = "vorlex_intra_community";
// Where a row of the one pass says whether it is one: 1 or 0.
const char* const kIntraCommunityColumn = "vorlex_intra";

// Whether an order is an intra-Community supply, as SQL: only a customer with
// a VAT id is asked about.
std::string IntraCommunitySql() {
  return std::string("((ust_id <> '') AND ") + kIntraCommunityFunction +
         "(besitzer.land, ust_id))";
}

// The FROM and WHERE text of the one pass: the orders paid in the period that
// are no intra-Community supply, and those supplies invoiced in it.
std::string EachByItsDateFromWhere(double firstDay, double lastDay) {
  const std::string intra = IntraCommunitySql();
  return std::string(kOrdersFrom) + " WHERE (auftrag.papierkorb = 0) AND ((((bezahlt = -1) OR" +
         "(davonbezahlt IS NOT 0)) AND " + DateWithin("bezahltam", firstDay, lastDay) +
         " AND NOT " + intra + ") OR (" + DateWithin("termin", firstDay, lastDay) + " AND " +
         intra + ")) ";
}

// The one pass's orders: those by their payment date first, each group by
// country and date, as the two passes' queries sort them. The library sorts
// rows of the same key in the order it reads them, so that rows of one group
// come as its own query gives them.
std::string EachByItsDateQuery(const std::string& fromWhere) {
  return std::string(kOrderColumns) + ", CASE WHEN " + IntraCommunitySql() +
         " THEN 1 ELSE 0 END AS " + kIntraCommunityColumn + fromWhere + " ORDER BY " +
         kIntraCommunityColumn + ", besitzer.land, CASE WHEN " + kIntraCommunityColumn +
         " THEN termin ELSE bezahltam END";
}

// False, having evaluated nothing, where the one pass (EachByItsDate) cannot
// be vouched for.
bool EvaluateOrders(TDBase& db, const std::string& fromWhere, TaxationBasis basis,
                    ClassificationChoice choice, OrdersTaken taken, TaxTotals& totals,
                    IEvaluationSink& sink) {
  const bool eachByItsDate = taken == OrdersTaken::EachByItsDate;
  // Every column read below, and only those, is read; a year's orders are
  // read one row at a time, as they are walked.
  std::vector<std::string> kept = {"land",   "ust_id", "id",   DateColumn(basis), "bezeichnung",
                                   "b_name", "skonto", "mwst", "auftragstyp",     "rechbetrag"};
  if (basis == TaxationBasis::Ist) kept.insert(kept.end(), {"bezahlt", "davonbezahlt"});
  if (eachByItsDate) kept.push_back("termin");
  const std::unique_ptr<TDBTable> orders = db.QueryRowByRow(
      eachByItsDate ? EachByItsDateQuery(fromWhere) : OrdersQuery(fromWhere, basis), kept);
  const TDBField land("land");
  const TDBField ustIdField("ust_id");
  if (orders->AtEnd()) {
    sink.ProgressStart(0);
    return true;
  }
  // The statement tells the supplies by the customer's texts as a text column
  // gives them, the walk by the texts as the result gives them.
  if (eachByItsDate && (!orders->ReadsAsText(land) || !orders->ReadsAsText(ustIdField))) {
    return false;
  }
  // The lines of all these orders in one pass rather than a query per order.
  TPeriodLineSums lineSums(db, fromWhere, LineVatOf(), choice.Exact());
  sink.ProgressStart(static_cast<int>(std::min<int64_t>(lineSums.OrderRows(), INT32_MAX)));
  const TDBField id("id");
  const TDBField date(DateColumn(basis));
  const TDBField invoiceDate("termin");
  const TDBField bezeichnung("bezeichnung");
  const TDBField bName("b_name");
  const OrderFields amountFields;
  const PaymentFields paymentFields;
  // The texts are read in place and copied once, into the entry.
  std::string landText, ustIdText, descriptionText, nameText;
  for (; !orders->AtEnd(); orders->MoveNext()) {
    sink.ProgressStep();
    const std::string_view country = orders->FieldView(land, landText);
    const std::string_view vatId = orders->FieldView(ustIdField, ustIdText);
    // An intra-Community supply is taken by its invoice date.
    bool byInvoice = basis == TaxationBasis::Soll;
    if (taken != OrdersTaken::All) {
      const bool intra = IsIntraCommunity(country, vatId, choice.sales);
      if (eachByItsDate) {
        byInvoice = intra;
      } else if (intra != (taken == OrdersTaken::IntraCommunity)) {
        continue;
      }
    }
    RunEntry entry;
    entry.kind = EntryKind::Order;

    const auto where = [&orders, &id] { return OrderPlace(orders->FieldValue(id).Text()); };
    entry.id = IntField(*orders, id, where);
    const LineSums lines = PeriodOrderLineSums(db, lineSums, *orders, id, entry.id);
    const OrderAmounts amounts = OrderAmountsOf(*orders, amountFields, entry.id, lines);
    entry.net = amounts.net;
    entry.gross = amounts.gross;
    entry.rate = amounts.mwst;
    entry.orderType = amounts.orderType;
    entry.date = FloatField(*orders, byInvoice ? invoiceDate : date, where);
    entry.SetTexts({.description = orders->FieldView(bezeichnung, descriptionText),
                    .customer = orders->FieldView(bName, nameText),
                    .country = country,
                    .vatId = vatId});

    if (!byInvoice) ReadPayment(*orders, paymentFields, entry);

    if (choice.Exact()) {
      // Only a sale taxed here is split by its lines' rates.
      SetShares(entry, ExactOrderShares(entry, choice.sales, [&](int64_t orderId) {
                  return lineSums.RatesOf(*orders, id, orderId);
                }));
      totals.Add(entry);
    } else {
      entry.total = SalesTotal(country, vatId);
      entry.added = entry.net;
      *totals.Of(entry.total) += entry.added;
    }
    sink.AppendEntry(std::move(entry));
  }
  return true;
}

}  // namespace

void SalesEvaluation(TDBase& db, double firstDay, double lastDay, TaxationBasis basis,
                     TaxTotals& totals, IEvaluationSink& sink, ClassificationChoice choice) {
  if (!choice.Exact() || basis == TaxationBasis::Soll) {
    EvaluateOrders(db, SalesFromWhere(firstDay, lastDay, basis), basis, choice, OrdersTaken::All,
                   totals, sink);
    return;
  }
  // A tax-free intra-Community supply is declared for the period of its
  // invoice, whatever the basis: under "Ist" those orders are taken by their
  // invoice date, every other order by its payment date. One pass over the
  // orders gives both where the statements read the customer's country and
  // VAT id as the walk reads them; otherwise a pass for each.
  const ForeignSales sales = choice.sales;
  db.DefineTextTest(kIntraCommunityFunction, [sales](std::string_view land, std::string_view id) {
    return IsIntraCommunity(land, id, sales);
  });
  if (EvaluateOrders(db, EachByItsDateFromWhere(firstDay, lastDay), basis, choice,
                     OrdersTaken::EachByItsDate, totals, sink)) {
    return;
  }
  EvaluateOrders(db, SalesFromWhere(firstDay, lastDay, basis), basis, choice,
                 OrdersTaken::NotIntraCommunity, totals, sink);
  // Only customers with some VAT id can be such a supply.
  EvaluateOrders(db,
                 SalesFromWhere(firstDay, lastDay, TaxationBasis::Soll) +
                     "AND (ust_id IS NOT NULL) AND (ust_id <> '') ",
                 TaxationBasis::Soll, choice, OrdersTaken::IntraCommunity, totals, sink);
}

void UndatedOrders(TDBase& db, TaxationBasis basis, std::vector<RunEntry>& undated) {
  const std::string column = DateColumn(basis);
  // The test of the date first: it is the one that fails for nearly every row.
  const std::unique_ptr<TDBTable> orders =
      db.Query("SELECT auftrag.id, auftrag.bezeichnung, besitzer.name AS b_name, auftrag." +
               column + kOrdersFrom + " WHERE " + DateHeldAsText("auftrag." + column) + " AND " +
               OrdersOfBasis(basis) + " ORDER BY auftrag.id");
  const TDBField id("id");
  const TDBField date(column);
  for (; !orders->AtEnd(); orders->MoveNext()) {
    if (!DateIsNoNumber(*orders, date)) continue;
    RunEntry entry;
    entry.kind = EntryKind::Undated;
    entry.missingDate = basis == TaxationBasis::Ist ? MissingDate::Payment : MissingDate::Invoice;
    // An id that is no number (which no run reads either) is left at 0.
    try {
      entry.id = orders->FieldInt(id);
    } catch (const EConvertError&) {
      entry.id = 0;
    }
    entry.SetTexts({.description = orders->FieldValue("bezeichnung").Text(),
                    .customer = orders->FieldValue("b_name").Text(),
                    .dateText = orders->FieldValue(date).Text()});
    undated.push_back(std::move(entry));
  }
}

}  // namespace vorlex
