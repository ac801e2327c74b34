// Files built into the binary: the service's OpenAPI document and the
// browser page, so that a deployed tool needs no files beside it.
#ifndef QUILLET_SERVE_EMBEDDED_FILES_H_
#define QUILLET_SERVE_EMBEDDED_FILES_H_

#include <optional>
#include <string_view>

namespace quillet::serve {

// The content of the file at `key`, its path under apps/ ("serve/openapi.json",
// "page/index.html"), or nullopt. The bytes live as long as the program.
std::optional<std::string_view> FindEmbeddedFile(std::string_view key);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_EMBEDDED_FILES_H_
