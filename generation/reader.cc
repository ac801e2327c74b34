#include "generation/reader.h"

#include "store/connection.h"

namespace quillet::generation {

Reader::Reader(const std::string& connection_string)
    : connection_(std::make_unique<store::Connection>()) {
  connection_->Open(connection_string);
}

Reader::~Reader() = default;

}  // namespace quillet::generation
