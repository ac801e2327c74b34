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

TEST(ValueDocument, StandardRowSetText) {
  EXPECT_EQ(StandardRowSetText(),
            "<data>\r\n"
            "<row name='vchdate' value='' itype='0' bHave='true'/>\r\n"
            "<row name='prdbatchnum' value='' itype='1' bHave='true'/>\r\n"
            "<row name='department' value='' itype='2' bHave='true'/>\r\n"
            "<row name='workcenter' value='' itype='3' bHave='true'/>\r\n"
            "<row name='whname' value=''  itype='4' bHave='true'/>\r\n"
            "<row name='businessclerk' value='' itype='5' bHave='true'/>\r\n"
            "<row name='supplier' value='' itype='6' bHave='true'/>\r\n"
            "<row name='cfree1' value='' itype='20' bHave='true'/>\r\n"
            "<row name='cfree2' value='' itype='21' bHave='true'/>\r\n"
            "<row name='cfree3' value='' itype='28' bHave='true'/>\r\n"
            "<row name='cfree4' value='' itype='29' bHave='true'/>\r\n"
            "<row name='cfree5' value='' itype='30' bHave='true'/>\r\n"
            "<row name='cfree6' value='' itype='31' bHave='true'/>\r\n"
            "<row name='cfree7' value='' itype='32' bHave='true'/>\r\n"
            "<row name='cfree8' value='' itype='33' bHave='true'/>\r\n"
            "<row name='cfree9' value='' itype='34' bHave='true'/>\r\n"
            "<row name='cfree10' value='' itype='35' bHave='true'/>\r\n"
            "</data>");
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
