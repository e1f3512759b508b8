#include "db/LineSumValues.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "db/SQLiteStatement.h"
#include "util/NumberText.h"

namespace vorlex {

bool SumFigure(const TSQLiteStatement& row, int column, double& figure) {
  switch (row.ColumnType(column)) {
    case ColumnKind::Null:
      figure = 0;
      return true;
    case ColumnKind::Integer:
      figure = static_cast<double>(row.ColumnInt64(column));
      return true;
    case ColumnKind::Float: {
      // INF and NAN do not read back as numbers; near the end of the double
      // range the text decides.
      const double sum = row.ColumnDouble(column);
      if (!(std::fabs(sum) <= 1e290)) return false;
      figure = FloatTextValue(sum);
      return true;
    }
    default:
      return false;
  }
}

bool LineKeyOf(const TSQLiteStatement& row, int64_t& key) {
  switch (row.ColumnType(0)) {
    case ColumnKind::Integer:
      key = row.ColumnInt64(0);
      return true;
    case ColumnKind::Float: {
      const double value = row.ColumnDouble(0);
      if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0)) return false;
      if (value != std::trunc(value)) return false;
      key = static_cast<int64_t>(value);
      return true;
    }
    case ColumnKind::Text: {
      const std::string_view text = row.ColumnText(0);
      const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), key);
      return error == std::errc() && end == text.data() + text.size() && !text.empty() &&
             text == std::to_string(key);
    }
    default:
      return false;
  }
}

bool SumFigures(const TSQLiteStatement& row, int first, LineSums& sums) {
  return SumFigure(row, first, sums.vat) && SumFigure(row, first + 1, sums.net);
}

RatesRead ReadRateNets(const TSQLiteStatement& row, int column, RateNets& nets) {
  switch (row.ColumnType(column)) {
    case ColumnKind::Blob:
      break;
    case ColumnKind::Integer:
      return RatesRead::TextInLines;
    default:
      return RatesRead::TooManyRates;
  }
  const std::string_view bytes = row.ColumnBlob(column);
  const size_t pairs = bytes.size() / (2 * sizeof(double));
  for (size_t i = 0; i < pairs; ++i) {
    RateNet net;
    std::memcpy(&net.rate, bytes.data() + 2 * i * sizeof(double), sizeof(double));
    std::memcpy(&net.net, bytes.data() + (2 * i + 1) * sizeof(double), sizeof(double));
    if (net.net != 0) nets.push_back(net);
  }
  return RatesRead::Known;
}

}  // namespace vorlex
