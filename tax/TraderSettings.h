// What Pelmora keeps about the trader, as read from its database.
#pragma once

#include <string>

namespace vorlex {

class TDBase;

// The trader's VAT identification number: the first row of settingsmandant,
// empty text when the table has no row.
std::string ReadVatId(TDBase& db);

}  // namespace vorlex
