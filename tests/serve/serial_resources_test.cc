// Serial numbers through the service: what a serial is, as verify tells it,
// and its barcode, cacheable, with the texts a symbology cannot take refused
// as problems saying why.
#include <gtest/gtest.h>
#include <httplib.h>

#include <nlohmann/json.hpp>
#include <string>

#include "tests/serve/http_client.h"
#include "tests/support/backends.h"
#include "tests/support/serve_process.h"

namespace quillet::testing {
namespace {

using nlohmann::json;

class ServeSerials : public ::testing::TestWithParam<std::string> {};

TEST_P(ServeSerials, VerifyAndBarcodes) {
  TestDatabase db(GetParam(), /*with_demo=*/true);
  ServeProcess serve(db.connection_string());
  const Answer saved = Send(serve.port(), "PUT", "/v1/rules/class:0102",
                            R"({"name":"Floor lamps","segments":["text=FL-","date=YYMM-",)"
                            R"({"source":"number","width":4,"check":"mod97","journal":true}]})");
  ASSERT_EQ(saved.status, 201) << saved.body;
  const Answer issued = Send(serve.port(), "POST", "/v1/items/LW-FL-310/serials",
                             R"({"date":"2024-05-06","save":true})");
  ASSERT_NE(issued.body.find(R"("serial_numbers":["FL-2405-000133"])"), std::string::npos)
      << issued.body;
  const Answer preview =
      Send(serve.port(), "POST", "/v1/items/LW-FL-310/preview", R"({"date":"2024-05-06"})");
  EXPECT_NE(preview.body.find(R"("check":"30")"), std::string::npos) << preview.body;
  EXPECT_NE(preview.body.find(R"("serial_number":"FL-2405-000230")"), std::string::npos);

  const json verdict = json::parse(Send(serve.port(), "GET", "/v1/serials/FL-2405-000133").body);
  EXPECT_TRUE(verdict.at("good"));
  EXPECT_EQ(verdict.at("fits")[0].at("issued").at("item"), "LW-FL-310");
  const json wrong = json::parse(Send(serve.port(), "GET", "/v1/serials/FL-2405-000134").body);
  EXPECT_FALSE(wrong.at("good"));
  EXPECT_FALSE(wrong.at("fits")[0].at("check_right"));

  const struct {
    std::string path;
    int status;
    std::string part;  // of the body
  } kCases[] = {
      {"/v1/serials/FL-2405-000133/barcode.svg", 200, "<svg "},
      {"/v1/serials/FL-2405-000133/barcode.svg?symbology=qr", 200, "<svg "},
      {"/v1/serials/%E6%98%9F-1/barcode.svg?symbology=datamatrix", 200, "<svg "},
      {"/v1/serials/%E6%98%9F-1/barcode.svg", 422, R"("number":1211)"},
      {"/v1/serials/AB/barcode.svg?symbology=gs1-128", 200, "<svg "},
      {"/v1/serials/A%20B/barcode.svg?symbology=gs1-128", 422, R"("symbology":"gs1-128")"},
      {"/v1/serials/AB/barcode.svg?symbology=pdf417", 400, R"("field":"symbology")"},
      {"/v1/serials/" + std::string(300, 'A') + "/barcode.svg", 400, R"("number":1206)"},
      {"/v1/serials/" + std::string(300, 'A'), 400, R"("number":1206)"},
  };
  httplib::Client client("127.0.0.1", serve.port());
  for (const auto& [path, status, part] : kCases) {
    SCOPED_TRACE(path);
    const httplib::Result answer = client.Get(path);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, status) << answer->body;
    EXPECT_NE(answer->body.find(part), std::string::npos) << answer->body;
    if (status == 200) {
      EXPECT_EQ(answer->get_header_value("Content-Type"), "image/svg+xml");
      EXPECT_NE(answer->get_header_value("Cache-Control").find("max-age="), std::string::npos);
    } else {
      EXPECT_EQ(answer->get_header_value("Content-Type"), "application/problem+json");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Backends, ServeSerials, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
