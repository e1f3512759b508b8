#include "ui/qtgui/FilingRecordPdf.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <array>

#include "output/FilingRecordText.h"
#include "ui/qtcore/QtText.h"

namespace vorlex {

namespace {

QFont RecordFont(double points, bool bold) {
  QFont font;
  // The fonts every Debian with the program's packages and every Windows has.
  font.setFamilies(
      {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica")});
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QFont FontOf(RecordStyle style) {
  switch (style) {
    case RecordStyle::Title:
      return RecordFont(14, true);
    case RecordStyle::Heading:
      return RecordFont(11, true);
    case RecordStyle::Columns:
      return RecordFont(8, true);
    case RecordStyle::Entry:
      return RecordFont(8, false);
    case RecordStyle::Field:
      break;
  }
  return RecordFont(9.5, false);
}

}  // namespace

std::string EntriesFingerprint(const Filing& filing) {
  const QByteArray digest =
      QCryptographicHash::hash(QByteArray::fromStdString(FingerprintInput(filing)),
                               QCryptographicHash::Sha256)
          .toHex()
          .left(16);
  std::string text;
  for (qsizetype i = 0; i < digest.size(); i += 4) {
    if (!text.empty()) text += ' ';
    text += digest.mid(i, 4).toStdString();
  }
  return text;
}

std::string RecordFileName(const Filing& filing) {
  return "Abgabe-" + FiledPeriodName(filing) + ".pdf";
}

QByteArray FilingRecordPdf(const Filing& filing, const FormatSettings& format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter));
    writer.setResolution(300);
    writer.setTitle(DecodeText("Umsatzsteuer-Voranmeldung " + FiledPeriodName(filing)));
    writer.setCreator(DecodeText("Vorlex " + filing.programVersion));
    QPainter painter(&writer);
    const double width = painter.viewport().width();
    const double height = painter.viewport().height();
    // Where each column begins, as a share of the width; the amount ends at the right.
    constexpr std::array<double, 5> kEntryColumns = {0, 0.14, 0.54, 0.80, 0.86};
    constexpr double kValueColumn = 0.34;
    double y = 0;
    for (const RecordLine& line : FilingRecordLines(filing, EntriesFingerprint(filing), format)) {
      const QFont font = FontOf(line.style);
      const QFontMetricsF metrics(font, &writer);
      const bool heading = line.style == RecordStyle::Title || line.style == RecordStyle::Heading;
      const double before = heading && y > 0 ? metrics.height() * 0.8 : 0;
      if (y + before + metrics.height() > height) {
        writer.newPage();
        y = 0;
      } else {
        y += before;
      }
      painter.setFont(font);
      const auto cell = [&](const std::string& text, double left, double right, bool alignRight) {
        const QString shown = metrics.elidedText(DecodeText(text), Qt::ElideRight,
                                                 right - left - metrics.height() / 2);
        const QRectF place(left, y, right - left, metrics.height());
        painter.drawText(place, (alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                         shown);
      };
      switch (line.style) {
        case RecordStyle::Field:
          cell(line.cells.at(0), 0, width * kValueColumn, false);
          cell(line.cells.at(1), width * kValueColumn, width, false);
          break;
        case RecordStyle::Columns:
        case RecordStyle::Entry:
          for (size_t c = 0; c < kEntryColumns.size() && c < line.cells.size(); ++c) {
            const double right =
                c + 1 < kEntryColumns.size() ? width * kEntryColumns[c + 1] : width;
            cell(line.cells[c], width * kEntryColumns[c], right, c + 1 == kEntryColumns.size());
          }
          break;
        case RecordStyle::Title:
        case RecordStyle::Heading:
          cell(line.cells.at(0), 0, width, false);
          break;
      }
      y += metrics.height() * (heading ? 1.3 : 1.1);
    }
  }
  return bytes;
}

}  // namespace vorlex
