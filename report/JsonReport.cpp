#include "report/JsonReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <optional>

#include "ledger/FiledPeriods.h"
#include "output/YearOverviewText.h"
#include "tax/FormFields.h"
#include "tax/Prepayment.h"
#include "ui/qtcore/QtText.h"
#include "util/MoneyText.h"
#include "util/uDatum.h"
#include "util/uString.h"

namespace vorlex {

namespace {

QString Text(std::string_view bytes) {
  return DecodeText(bytes);
}

// The date part as YYYY-MM-DD.
QString IsoDate(double dayNumber) {
  const CalendarDate date = DecodeDate(dayNumber);
  return QString::asprintf("%04d-%02d-%02d", date.year, date.month, date.day);
}

const char* KindName(EntryKind kind) {
  switch (kind) {
    case EntryKind::Order: return "order";
    case EntryKind::Receipt: return "receipt";
    case EntryKind::Expense: return "expense";
    case EntryKind::OtherCash: return "other";
    case EntryKind::Separator:
    case EntryKind::Undated:
      break;
  }
  return "separator";
}

const char* PeriodKindName(TPeriodKind kind) {
  switch (kind) {
    case TPeriodKind::Jahr: return "year";
    case TPeriodKind::Quartal1:
    case TPeriodKind::Quartal2:
    case TPeriodKind::Quartal3:
    case TPeriodKind::Quartal4: return "quarter";
    case TPeriodKind::Monat: return "month";
    case TPeriodKind::VonBis: return "range";
    case TPeriodKind::None: break;
  }
  return "none";
}

QJsonValue TotalName(TotalKind total) {
  switch (total) {
    case TotalKind::NichtEU: return "NichtEU";
    case TotalKind::InnergemOhneUStId: return "InnergemOhneUStId";
    case TotalKind::InnergemMitUStId: return "InnergemMitUStId";
    case TotalKind::Umsatz19: return "Umsatz19";
    case TotalKind::Umsatz7: return "Umsatz7";
    case TotalKind::Vorsteuer7: return "Vorsteuer7";
    case TotalKind::Vorsteuer19: return "Vorsteuer19";
    case TotalKind::Leistungen21: return "Leistungen21";
    case TotalKind::Umsatz35: return "Umsatz35";
    case TotalKind::Steuer36: return "Steuer36";
    case TotalKind::Ausfuhr43: return "Ausfuhr43";
    case TotalKind::Ausland45: return "Ausland45";
    case TotalKind::Steuerfrei: return "Steuerfrei";
    case TotalKind::VorsteuerAndere: return "VorsteuerAndere";
    case TotalKind::None: break;
  }
  return QJsonValue::Null;
}

QJsonObject EntryObject(const RunEntry& entry) {
  QJsonObject object{{"kind", KindName(entry.kind)}};
  if (entry.kind == EntryKind::Separator) return object;
  object["total"] = TotalName(entry.total);
  const int field = FormFieldOf(entry.total);
  object["field"] = field != 0 ? QJsonValue(field) : QJsonValue(QJsonValue::Null);
  object["date"] = IsoDate(entry.date);
  object["description"] = Text(entry.description());
  object["customer"] = Text(entry.customer());
  object["rate"] = entry.rate;
  object["net"] = entry.net;
  object["gross"] = entry.gross;
  object["added"] = entry.added;
  if (!entry.Shares().empty()) {
    // An amount split over several totals: each with its share.
    QJsonArray shares;
    for (const EntryShare& share : entry.Shares()) {
      const int shareField = FormFieldOf(share.total);
      shares.append(QJsonObject{
          {"total", TotalName(share.total)},
          {"field", shareField != 0 ? QJsonValue(shareField) : QJsonValue(QJsonValue::Null)},
          {"added", share.added}});
    }
    object["shares"] = shares;
  }
  if (entry.kind == EntryKind::Order) {
    object["id"] = static_cast<qint64>(entry.id);
    object["orderType"] = static_cast<qint64>(entry.orderType);
    object["country"] = Text(entry.country());
    object["vatId"] = Text(entry.vatId());
  } else {
    object["rateText"] = Text(entry.rateText());
  }
  return object;
}

// Euros with the cents the text shows; null where no cents can be shown.
QJsonValue Euros(std::optional<int64_t> cents) {
  if (!cents) return QJsonValue::Null;
  return static_cast<double>(*cents) / 100.0;
}

// Fields 41, 44, 81, 86, 66 and 83 as their texts show them.
// Under the exact classification also the further fields that are not 0
// (the 0 % figure as "0").
QJsonObject FieldsObject(const TaxTotals& t) {
  QJsonObject fields;
  const std::optional<Prepayment> prepayment = PrepaymentOf(t);
  for (const FormField& field : kFormFields) {
    std::optional<int64_t> cents;
    if (HasEntries(field)) {
      cents = ShownCents(FigureOf(field, t));
    } else if (prepayment) {  // field 83
      cents = prepayment->due;
    }
    fields[QString::number(field.number)] = Euros(cents);
  }
  for (const FormField& field : kFurtherFields) {
    const double value = FigureOf(field, t);
    if (value != 0) fields[QString::number(field.number)] = Euros(ShownCents(value));
  }
  if (t.field39 != 0) fields[QStringLiteral("39")] = Euros(t.field39);
  return fields;
}

QJsonObject PeriodObject(const TTaxPeriod& period) {
  return QJsonObject{{"first", IsoDate(period.FirstDay)},
                     {"last", IsoDate(period.LastDay)},
                     {"kind", PeriodKindName(period.PeriodKind)}};
}

// "ist" or "soll", as the reporter's --basis takes it.
QString BasisName(TaxationBasis basis) {
  return QString::fromStdString(AsciiLower(BasisText(basis)));
}

QJsonValue CentsValue(const std::optional<int64_t>& cents) {
  return Euros(cents);
}

// The latest filing and what changed since; the filing recorded by this run.
QJsonValue FilingObject(const FilingOutcome* outcome, const FormatSettings& format) {
  if (outcome == nullptr || (!outcome->latest && !outcome->recorded && outcome->error.empty())) {
    return QJsonValue::Null;
  }
  QJsonObject object;
  if (outcome->latest && outcome->changes) {
    const Filing& f = *outcome->latest;
    QJsonArray figures;
    // The 0 % figure, which has no field, as 0.
    const auto number = [](const FigureChange& change) {
      return change.field == kZeroRateFigure ? 0 : change.field;
    };
    for (const FigureChange& change : outcome->changes->figures) {
      figures.append(QJsonObject{{"field", number(change)},
                                 {"filed", CentsValue(change.filed)},
                                 {"now", CentsValue(change.now)}});
    }
    QJsonArray entries;
    for (const std::string& entry : outcome->changes->entries) entries.append(Text(entry));
    object["filedOn"] = IsoDate(f.filedOn);
    object["ticket"] = Text(f.ticket);
    object["status"] = Text(FilingStatusLine(*outcome->changes, format));
    object["changed"] = outcome->changes->Changed();
    object["changedFields"] = figures;
    object["changedEntries"] = entries;
    // The corrected return: every field now, as filed, and the difference.
    if (!outcome->changes->figures.empty()) {
      QJsonArray corrected;
      const auto add = [&](const FigureChange& field) {
        QJsonValue difference = QJsonValue::Null;
        if (field.filed && field.now) difference = Euros(*field.now - *field.filed);
        corrected.append(QJsonObject{{"field", number(field)},
                                     {"now", CentsValue(field.now)},
                                     {"filed", CentsValue(field.filed)},
                                     {"difference", difference}});
      };
      for (const FigureChange& field : outcome->changes->all) add(field);
      for (const FigureChange& field : outcome->changes->further) add(field);
      object["corrected"] = corrected;
    }
  }
  // With --zm: the EC sales list's rows that differ from the filing's, each
  // with its whole corrected sum (0 cancels a row filed).
  if (outcome->ecSalesCorrection) {
    QJsonArray rows;
    for (const EcSalesCorrectionRow& row : *outcome->ecSalesCorrection) {
      rows.append(QJsonObject{
          {"vatId", QString::fromStdString(row.vatId)},
          {"kind", QString(QChar::fromLatin1(row.kind))},
          {"euros", static_cast<qint64>(row.euros)},
          {"filedEuros", row.filedEuros ? QJsonValue(static_cast<qint64>(*row.filedEuros))
                                        : QJsonValue(QJsonValue::Null)}});
    }
    object["ecSalesCorrection"] = rows;
  }
  if (outcome->recorded) {
    object["recorded"] = QJsonObject{{"filedOn", IsoDate(outcome->recorded->filedOn)},
                                     {"ticket", Text(outcome->recorded->ticket)},
                                     {"corrected", outcome->recorded->corrects != 0}};
  }
  if (!outcome->error.empty()) object["error"] = QString::fromStdString(outcome->error);
  return object;
}

}  // namespace

QByteArray RunJson(const JsonRun& run, const FormatSettings& format) {
  QJsonArray entries;
  for (const RunEntry& entry : *run.entries) {
    // An entry no period selects is not the run's; its hint names it.
    if (entry.kind != EntryKind::Undated) entries.append(EntryObject(entry));
  }

  const TaxTotals& t = *run.totals;
  QJsonObject totals{{"NichtEU", t.NichtEU},
                           {"InnergemMitUStId", t.InnergemMitUStId},
                           {"InnergemOhneUStId", t.InnergemOhneUStId},
                           {"Umsatz19", t.Umsatz19},
                           {"Umsatz7", t.Umsatz7},
                           {"Vorsteuer7", t.Vorsteuer7},
                           {"Vorsteuer19", t.Vorsteuer19}};
  if (run.classification == Classification::Exact) {
    totals["Leistungen21"] = t.Leistungen21;
    totals["Umsatz35"] = t.Umsatz35;
    totals["Steuer36"] = t.Steuer36;
    totals["Ausfuhr43"] = t.Ausfuhr43;
    totals["Ausland45"] = t.Ausland45;
    totals["Steuerfrei"] = t.Steuerfrei;
    totals["VorsteuerAndere"] = t.VorsteuerAndere;
  }

  QJsonArray hints;
  for (const Hint& hint : *run.hints) {
    hints.append(QJsonObject{{"entry", hint.entry}, {"text", Text(hint.text)}});
  }

  QJsonObject document{
      {"period", PeriodObject(*run.period)},
      {"basis", BasisName(run.basis)},
      {"classification", ClassificationKey(run.classification)},
      {"entries", entries},
      {"totals", totals},
      {"fields", FieldsObject(t)},
      {"hints", hints},
  };
  if (run.field != 0) document["field"] = run.field;
  if (run.due && run.due->preReturn) document["due"] = IsoDate(*run.due->preReturn);
  if (run.due && run.due->ecSalesList) document["ecSalesListDue"] = IsoDate(*run.due->ecSalesList);
  // Only a filed period (or a ledger that could not be read) has one, so
  // that the document of a period never filed stays as it was.
  if (const QJsonValue filing = FilingObject(run.filing, format); !filing.isNull()) {
    document["filing"] = filing;
  }
  return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

QByteArray OverviewJson(const YearOverview& overview) {
  QJsonArray rows;
  for (const OverviewRow& row : overview.rows) {
    rows.append(QJsonObject{{"label", Text(OverviewRowLabel(row))},
                            {"period", PeriodObject(row.period)},
                            {"fields", FieldsObject(row.totals)}});
  }
  const QJsonObject document{
      {"year", overview.year},
      {"basis", BasisName(overview.basis)},
      {"classification", ClassificationKey(overview.classification)},
      {"rows", rows},
  };
  return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

QByteArray SpecialPrepaymentJson(const SpecialPrepaymentOfYear& prepayment,
                                 const FormatSettings& format) {
  QJsonObject document{{"year", prepayment.year}};
  switch (prepayment.kind) {
    case SpecialPrepaymentKind::Owed:
      document["kind"] = prepayment.assessed ? "assessed" : "computed";
      document["amount"] = Euros(prepayment.amount);
      document["base"] = Euros(prepayment.base);
      if (prepayment.due) document["due"] = IsoDate(*prepayment.due);
      break;
    case SpecialPrepaymentKind::NoneQuarterly:
    case SpecialPrepaymentKind::NoneWithoutExtension:
      document["kind"] = prepayment.kind == SpecialPrepaymentKind::NoneQuarterly
                             ? "none-quarterly"
                             : "none-without-extension";
      document["text"] = Text(SpecialPrepaymentLine(prepayment, format));
      break;
  }
  return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

QByteArray PortalJson(const std::vector<PortalFigure>& figures) {
  QJsonArray rows;
  for (const PortalFigure& figure : figures) {
    rows.append(QJsonObject{{"field", figure.field},
                            {"tax", figure.tax},
                            {"label", Text(PortalLabel(figure))},
                            {"value", Text(PortalValue(figure))}});
  }
  return QJsonDocument(QJsonObject{{"elster", rows}}).toJson(QJsonDocument::Indented);
}

}  // namespace vorlex
