// XmlDocument: strict loading, XPath forms, attributes and literal values; and
// the value document: the standard row set and the row lookups.
#include "quillet/xml_document.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "core/value_document.h"
#include "quillet/error.h"

namespace quillet {
namespace {

constexpr char kRows[] =
    "<data count='3'>\r\n"
    "<row name='vchdate' value='2024-05-01' itype='0' bHave='true'/>\r\n"
    "<row name='department' value='D02' itype='02' bHave='true'/>\r\n"
    "<row name='whname' value='W1'  itype='2' bHave='true'/>\r\n"
    "<row name='supplier' value='S9' itype='2' bHave='false'/>\r\n"
    "<row name='cinvcode' value='螺丝-01' itype='8' bHave='true'/>\r\n"
    "</data>";

TEST(XmlDocumentTest, MalformedTextsLeaveTheDocumentEmpty) {
  using namespace std::string_literals;
  for (const std::string& text :
       {"<return a=''b='1' />"s, "<a b='x&y'/>"s, "<a b='x<y'/>"s, "<a>"s, "<a><b></a>"s,
        "<a/><b/>"s, ""s, "   "s, "text"s, "<a b='1' b='2'/>"s, "<z:row a='1'/>"s, "<a>&nbsp;</a>"s,
        "<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>"s, "<a>\0</a>"s}) {
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXML("<ok/>"));
    EXPECT_FALSE(doc.loadXML(text)) << text;
    EXPECT_TRUE(doc.empty()) << text;
    EXPECT_EQ(doc.xml(), "") << text;
    EXPECT_FALSE(doc.selectSingleNode("//*")) << text;
    EXPECT_NE(doc.parseError(), "") << text;
  }
}

TEST(XmlDocumentTest, XmlGivesTheNodesInOrderWithTheDeclarationOnlyWhenLoaded) {
  const struct {
    std::string text;
    std::string xml;
  } cases[] = {
      {"<a b='1'>x</a>", "<a b=\"1\">x</a>"},
      {"<?xml version='1.0' encoding='gb2312'?>\n<a b='中文'>文本</a>",
       "<?xml version=\"1.0\"?>\r\n<a b=\"中文\">文本</a>"},
      {"<?xml version=\"1.0\" encoding=\"utf-8\"?><!--c--><a/>",
       "<?xml version=\"1.0\"?>\r\n<!--c-->\r\n<a/>"},
  };
  for (const auto& c : cases) {
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXML(c.text)) << doc.parseError();
    EXPECT_EQ(doc.xml(), c.xml);
  }
}

TEST(XmlDocumentTest, XPathFormsFindTheFirstMatchingRow) {
  XmlDocument doc;
  ASSERT_TRUE(doc.loadXML(kRows));
  const struct {
    const char* xpath;
    std::size_t count;
    const char* first_name;
  } cases[] = {
      {"//row[@name='cinvcode']", 1, "cinvcode"},    {"//row [@itype='2']", 2, "whname"},
      {"//row [@itype='02']", 1, "department"},      {"//row [@itype='3']", 0, nullptr},
      {"//data/row[@name='vchdate']", 1, "vchdate"}, {"//row", 5, "vchdate"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.xpath);
    EXPECT_EQ(doc.selectNodes(c.xpath).size(), c.count);
    const auto first = doc.selectSingleNode(c.xpath);
    ASSERT_EQ(first.has_value(), c.first_name != nullptr);
    if (first) {
      EXPECT_EQ(first->getAttribute("name"), c.first_name);
    }
  }
  EXPECT_EQ(doc.documentElement()->getAttribute("count"), "3");
  EXPECT_EQ(doc.selectSingleNode("//row[@name='cinvcode']")->getAttribute("value"), "螺丝-01");
}

// The direct search finds what the XPath form finds, node for node.
TEST(XmlDocumentTest, FirstElementWhereFindsWhatTheXPathFormFinds) {
  const char* documents[] = {
      "<data><row itype='2' name='a'/><row itype='2' name='b'/></data>",
      "<data><g><row itype='1' name='deep'/></g><row itype='1' name='late'/></data>",
      "<row itype='1' name='root'><row itype='1' name='child'/></row>",
      "<data xmlns:q='urn:q'><q:row itype='1' name='q'/><row q:itype='1' name='qa'/>"
      "<row itype='1' name='plain'/></data>",
      "<data xmlns='urn:d'><row itype='1' name='defaulted'/></data>",
      "<data><row itype='&#49;' name='reference'/><row itype=' 1' name='blank'/></data>",
      "<data><!-- c --><?p x?><row name='none'/>text<row itype='' name='empty'/></data>",
  };
  const std::pair<const char*, const char*> asked[] = {
      {"itype", "1"}, {"itype", "2"}, {"itype", ""}, {"name", "late"}};
  for (const char* text : documents) {
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXML(text)) << text;
    for (const auto& [attribute, value] : asked) {
      SCOPED_TRACE(std::string(text) + " @" + attribute + "=" + value);
      const auto by_xpath =
          doc.selectSingleNode(std::string("//row[@") + attribute + "='" + value + "']");
      const auto direct = doc.firstElementWhere("row", attribute, value);
      ASSERT_EQ(direct.has_value(), by_xpath.has_value());
      if (direct) {
        EXPECT_EQ(direct->getAttribute("name"), by_xpath->getAttribute("name"));
      }
    }
  }
  EXPECT_FALSE(XmlDocument().firstElementWhere("row", "itype", "1"));
}

TEST(XmlDocumentTest, BadExpressionsRaiseAndEmptyDocumentsFindNothing) {
  XmlDocument doc;
  EXPECT_FALSE(doc.selectSingleNode("//row"));
  EXPECT_TRUE(doc.selectNodes("//z:row").empty());
  ASSERT_TRUE(doc.loadXML(kRows));
  for (const char* xpath : {"//row[", "//q:row", "count(//row)", ""}) {
    try {
      doc.selectNodes(xpath);
      ADD_FAILURE() << xpath;
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), errc::kXPathInvalid);
      EXPECT_NE(e.description().find(std::string("'") + xpath + "'"), std::string::npos);
    }
  }
}

TEST(XmlDocumentTest, AttributesByPositionAndByName) {
  XmlDocument doc;
  ASSERT_TRUE(doc.loadXML("<r xmlns:rs='urn:schemas-microsoft-com:rowset' b='2' a='' rs:n='3'/>"));
  const XmlNode root = *doc.documentElement();
  ASSERT_EQ(root.attributeCount(), 3u);
  EXPECT_EQ(root.attributeAt(1)->nodeName(), "a");
  EXPECT_EQ(root.attributeAt(2)->kind(), XmlNode::Kind::kAttribute);
  EXPECT_FALSE(root.attributeAt(3));
  EXPECT_EQ(root.getAttribute("a"), "");
  EXPECT_EQ(root.getAttribute("missing"), std::nullopt);
  EXPECT_EQ(root.getNamedItem("rs:n")->text(), "3");
}

TEST(XmlDocumentTest, SetTextStoresLiteralValuesThatRoundTrip) {
  const std::string value = "a'b&c<d\"e&amp;";
  XmlDocument doc;
  ASSERT_TRUE(doc.loadXML(kRows));
  XmlNode row = *doc.selectSingleNode("//row[@name='whname']");
  row.getNamedItem("value")->setText(value);
  XmlNode added = doc.documentElement()->appendElement("row");
  added.setAttribute("value", value);
  added.setText(value);

  XmlDocument again;
  ASSERT_TRUE(again.loadXML(doc.xml())) << doc.xml();
  EXPECT_EQ(again.selectSingleNode("//row [@itype='2']")->getAttribute("value"), value);
  EXPECT_EQ(again.selectNodes("//row").back().getAttribute("value"), value);
  EXPECT_EQ(again.selectNodes("//row").back().text(), value);
}

TEST(XmlDocumentTest, NodesOutliveReloadsAndReplacedText) {
  XmlDocument doc;
  ASSERT_TRUE(doc.loadXML("<a><b>old</b></a>"));
  const XmlNode b = *doc.selectSingleNode("//b");
  const XmlNode old_text = *doc.selectSingleNode("//b/text()");
  doc.documentElement()->setText("new");
  EXPECT_EQ(old_text.text(), "old");
  EXPECT_EQ(doc.xml(), "<a>new</a>");
  ASSERT_TRUE(doc.loadXML("<c/>"));
  EXPECT_EQ(b.xml(), "<b>old</b>");
  EXPECT_FALSE(b.selectSingleNode("//c"));
}

TEST(XmlDocumentTest, FailuresStaySilentOnEveryThread) {
  ::testing::internal::CaptureStderr();
  std::thread worker([] {
    XmlDocument doc;
    EXPECT_FALSE(doc.loadXML("<a b='1'b='2'>"));
    ASSERT_TRUE(doc.loadXML("<a/>"));
    EXPECT_THROW(doc.selectNodes("//a["), Error);
  });
  worker.join();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

// The value document.
std::unique_ptr<XmlDocument> Loaded(const std::string& text) {
  auto doc = std::make_unique<XmlDocument>();
  EXPECT_TRUE(doc->loadXML(text)) << text;
  return doc;
}

// The standard row set: one available, empty row per data source type, named
// as the host names them, in this order.
TEST(ValueDocumentTest, StandardRowSetNamesEveryType) {
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

TEST(ValueDocumentTest, RowOfTypeMatchesTheExactDecimalTextAndTakesTheFirst) {
  auto doc = Loaded(
      "<data><row itype='02' value='padded'/><row itype='2' value='first'/>"
      "<row itype='2' value='second'/><row itype='20' value='free'/></data>");
  ASSERT_TRUE(RowOfType(*doc, 2));
  EXPECT_EQ(RowOfType(*doc, 2)->getAttribute("value"), "first");
  EXPECT_EQ(RowOfType(*doc, 20)->getAttribute("value"), "free");
  EXPECT_FALSE(RowOfType(*doc, 0));
}

TEST(ValueDocumentTest, ItemCodeNeedsARowWithAValue) {
  EXPECT_EQ(ItemCode(*Loaded(StandardRowSetText())), std::nullopt);
  EXPECT_EQ(ItemCode(*Loaded("<data><row name='cinvcode'/></data>")), std::nullopt);
  EXPECT_EQ(ItemCode(*Loaded("<data><row name='cinvcode' value=''/></data>")), "");
}

}  // namespace
}  // namespace quillet
