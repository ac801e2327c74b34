#include "apps/serve/static_content.h"

#include <array>
#include <utility>

#include "apps/serve/embedded_files.h"

namespace quillet::serve {
namespace {

constexpr std::string_view kPageFolder = "page";
constexpr std::string_view kIndex = "index.html";

bool HasUnsafeSegment(std::string_view path) {
  std::size_t start = 1;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    const std::string_view segment = path.substr(start, end - start);
    if (segment.empty() || segment == "." || segment == "..") return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

std::optional<StaticFile> PageFile(std::string_view url_path) {
  if (!url_path.starts_with('/')) return std::nullopt;
  std::string key(kPageFolder);
  if (url_path == "/") {
    key += "/" + std::string(kIndex);
  } else if (HasUnsafeSegment(url_path)) {
    return std::nullopt;
  } else {
    key += url_path;
  }
  const std::optional<std::string_view> content = FindEmbeddedFile(key);
  if (!content) return std::nullopt;
  return StaticFile{*content, MediaTypeOf(key)};
}

std::string MediaTypeOf(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kTypes = {{
      {".html", "text/html; charset=utf-8"},
      {".js", "text/javascript; charset=utf-8"},
      {".css", "text/css; charset=utf-8"},
      {".json", "application/json"},
      {".svg", "image/svg+xml"},
      {".png", "image/png"},
      {".ico", "image/x-icon"},
      {".txt", "text/plain; charset=utf-8"},
  }};
  for (const auto& [extension, type] : kTypes) {
    if (name.ends_with(extension)) return std::string(type);
  }
  return "application/octet-stream";
}

}  // namespace quillet::serve
