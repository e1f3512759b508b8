// Generated databases of Pelmora's shape for the line sums of a period: the
// same orders, lines and cash book laid out in every way the sums must meet
// (indexes or none, keys and amounts of other types, ids far apart, lines of
// neighbouring orders in turns, sums the library cannot make), each with how
// the sums are read from it.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "testdb/PelmoraDb.h"

namespace vorlex::testing {

enum class Amounts {
  Fractional,  // mixed magnitudes, so that the order of adding shows in the sums
  Whole,       // whole numbers stored as integers: the sums are integers
  Mixed,       // whole and fractional lines in one order
  Nulls,       // some quantities, prices and rates NULL
};

struct Shape {
  const char* name;
  bool index = true;
  Amounts amounts = Amounts::Fractional;
  int64_t firstId = 1;
  int64_t idStep = 1;
  bool interleaved = false;  // the lines of neighbouring orders mixed in table order
  std::string amountType = "DOUBLE";
  std::string keyType = "INTEGER";
  std::function<void(testdb::PelmoraDb&)> before = nullptr;  // on the empty tables
  std::function<void(testdb::PelmoraDb&)> extra = nullptr;   // after the data
  // How the sums are read: one statement over the period (else the order's
  // statement, prepared once), and whether some orders need their literal query.
  bool onePass = true;
  bool literal = false;
  // The cells of every third order's lines stored as text with a decimal
  // comma, the shortest that reads back as the number.
  bool commaTexts = false;
};

// Every shape, named.
std::span<const Shape> LineShapes();

testdb::Schema SchemaOf(const Shape& shape);

// Fills b, a new database made with SchemaOf(shape).
void BuildShape(testdb::PelmoraDb& b, const Shape& shape);

}  // namespace vorlex::testing
