#include "tax/TraderSettings.h"

#include <gtest/gtest.h>

#include "db/uDB.h"
#include "tax/TaxDbTest.h"

namespace vorlex {
namespace {

class TraderSettingsTest : public testing::TaxDbTest {};

TEST_F(TraderSettingsTest, VatIdIsTheFirstRowOrEmpty) {
  Build();
  EXPECT_EQ(ReadVatId(Open()), "");

  testdb::PelmoraDb& b = Build();
  b.SetVatId("DE111");
  b.Insert("settingsmandant", {{"ustidnummer", "DE222"}});
  EXPECT_EQ(ReadVatId(Open()), "DE111");

  // A table Pelmora did not make is an error, not an empty id.
  Build().Exec("DROP TABLE settingsmandant");
  EXPECT_ANY_THROW(ReadVatId(Open()));
}

}  // namespace
}  // namespace vorlex
