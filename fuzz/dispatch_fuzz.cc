// Requests by name as `quillet rpc` reads them, each line on one bound
// object, and the variants of their JSON forms. The object is bound to an
// empty in-memory database, so that no request opens another (a second init
// is refused before it connects).
#include <cstdlib>
#include <memory>
#include <set>
#include <string_view>

#include "quillet/dispatch.h"
#include "quillet/language.h"

namespace {

quillet::Dispatcher& BoundDispatcher() {
  static auto* object = [] {
    quillet::SetLanguageComponent(quillet::BuiltinLanguage("en-US"));
    auto* bound = new quillet::clsQuillet;
    std::shared_ptr<quillet::Login> login =
        std::make_shared<quillet::ConfiguredLogin>("sqlite::memory:", std::set<std::string>{});
    bound->init(login);
    return bound;
  }();
  static auto* dispatcher = new quillet::Dispatcher(
      *object,
      std::make_shared<quillet::ConfiguredLogin>("sqlite::memory:", std::set<std::string>{}));
  return *dispatcher;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const nlohmann::json response = BoundDispatcher().HandleRequestLine(line);
  quillet::ResponseLine(response);
  try {
    const quillet::Variant value = quillet::DecodeVariant(quillet::ParseJson(line));
    // What a variant encodes to, it decodes from.
    quillet::DecodeVariant(quillet::EncodeVariant(value));
  } catch (const quillet::UsageError&) {
    // Not JSON, or no variant form.
  }
  return 0;
}
