// The browser page's files as the service hands them out at `/`.
#ifndef QUILLET_SERVE_STATIC_CONTENT_H_
#define QUILLET_SERVE_STATIC_CONTENT_H_

#include <optional>
#include <string>
#include <string_view>

namespace quillet::serve {

struct StaticFile {
  std::string_view content;
  std::string media_type;
};

// The embedded page file a browser asks for by `url_path`: "/" is
// page/index.html, "/app.js" page/app.js. nullopt for a path that names no
// page file, or one with an empty, "." or ".." segment.
std::optional<StaticFile> PageFile(std::string_view url_path);

// The media type of a file name by its extension; application/octet-stream
// for an unknown one. Pure.
std::string MediaTypeOf(std::string_view name);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_STATIC_CONTENT_H_
