#include "tax/TraderSettings.h"

#include <memory>

#include "db/uDB.h"

namespace vorlex {

std::string ReadVatId(TDBase& db) {
  std::unique_ptr<TDBTable> table = db.Query("SELECT ustidnummer FROM settingsmandant");
  if (table->AtEnd()) return {};
  return table->FieldValue("ustidnummer").Text();
}

}  // namespace vorlex
