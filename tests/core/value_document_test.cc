// The value document: the standard row set's exact text and the row lookups.
#include "core/value_document.h"

#include <gtest/gtest.h>

#include <memory>

#include "quillet/xml_document.h"

namespace quillet::store {
namespace {

std::unique_ptr<XmlDocument> Loaded(const std::string& text) {
  auto doc = std::make_unique<XmlDocument>();
  EXPECT_TRUE(doc->loadXML(text)) << text;
  return doc;
}

// The standard row set: one available, empty row per data source type, named
// as the host names them, in this order.
TEST(ValueDocument, StandardRowSetNamesEveryType) {
  std::string rows;
  for (const XmlNode& row : Loaded(StandardRowSetText())->selectNodes("/data/row")) {
    rows += *row.getAttribute("name") + "=" + *row.getAttribute("itype") +
            *row.getAttribute("value") + (row.getAttribute("bHave") == "true" ? " " : "! ");
  }
  EXPECT_EQ(rows,
            "vchdate=0 prdbatchnum=1 department=2 workcenter=3 whname=4 businessclerk=5 "
            "supplier=6 cfree1=20 cfree2=21 cfree3=28 cfree4=29 cfree5=30 cfree6=31 cfree7=32 "
            "cfree8=33 cfree9=34 cfree10=35 ");
}

TEST(ValueDocument, RowOfTypeMatchesTheExactDecimalTextAndTakesTheFirst) {
  auto doc = Loaded(
      "<data><row itype='02' value='padded'/><row itype='2' value='first'/>"
      "<row itype='2' value='second'/><row itype='20' value='free'/></data>");
  ASSERT_TRUE(RowOfType(*doc, 2));
  EXPECT_EQ(RowOfType(*doc, 2)->getAttribute("value"), "first");
  EXPECT_EQ(RowOfType(*doc, 20)->getAttribute("value"), "free");
  EXPECT_FALSE(RowOfType(*doc, 0));
}

TEST(ValueDocument, ItemCodeNeedsARowWithAValue) {
  EXPECT_EQ(ItemCode(*Loaded(StandardRowSetText())), std::nullopt);
  EXPECT_EQ(ItemCode(*Loaded("<data><row name='cinvcode'/></data>")), std::nullopt);
  EXPECT_EQ(ItemCode(*Loaded("<data><row name='cinvcode' value=''/></data>")), "");
}

}  // namespace
}  // namespace quillet::store
