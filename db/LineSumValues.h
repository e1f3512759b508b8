// The values of a row of the line-sum statements, read as an order's own
// query reads them: a sum's figure, the order a line key stands for, the nets
// by rate of kRateNetsFunction.
#pragma once

#include <cstdint>

#include "db/LineSumsSql.h"

namespace vorlex {

class TSQLiteStatement;

// The figure an order's own query reads from a sum (the sum's text read back
// as a number; no lines: 0). False where that read would not give a plain
// number; the order's own query gives the error or figure then.
bool SumFigure(const TSQLiteStatement& row, int column, double& figure);
// The order id a line key (column 0) stands for: the same whole number stored
// as an integer, a float or (in a text column) its text.
bool LineKeyOf(const TSQLiteStatement& row, int64_t& key);
// The order's VAT and net from the columns first and first + 1.
bool SumFigures(const TSQLiteStatement& row, int first, LineSums& sums);
// What a value of kRateNetsFunction says of an order's lines.
enum class RatesRead : uint8_t {
  Known,         // the nets by rate, added to nets
  TooManyRates,  // more than the aggregate keeps
  TextInLines,   // some lines hold text: their cells are to be read one by one
};
RatesRead ReadRateNets(const TSQLiteStatement& row, int column, RateNets& nets);

}  // namespace vorlex
