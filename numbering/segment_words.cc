// The segment notation and the data source names of the typed interface.
#include "numbering/segment_words.h"

#include "numbering/session.h"

namespace quillet {
namespace numbering {

notation::Segment NotationSegment(const Segment& segment) {
  return {static_cast<int>(segment.source),
          segment.format,
          segment.width,
          segment.pad,
          segment.fill,
          segment.step,
          segment.policy};
}

Segment TypedSegment(const notation::Segment& segment) {
  return {static_cast<DataSource>(segment.type),
          segment.format,
          segment.width,
          segment.pad,
          segment.fill,
          segment.step,
          segment.policy};
}

std::vector<notation::Segment> NotationSegments(const std::vector<Segment>& segments) {
  std::vector<notation::Segment> converted;
  converted.reserve(segments.size());
  for (const Segment& segment : segments) converted.push_back(NotationSegment(segment));
  return converted;
}

}  // namespace numbering

std::string DataSourceName(DataSource source) {
  return notation::SourceName(static_cast<int>(source));
}

std::optional<DataSource> DataSourceOf(std::string_view name) {
  const std::optional<int> type = notation::SourceType(name);
  if (!type) return std::nullopt;
  return static_cast<DataSource>(*type);
}

Segment ParseSegment(std::string_view word) {
  try {
    return numbering::TypedSegment(notation::ParseSegment(word));
  } catch (...) {
    throw numbering::FailureOf(std::current_exception());
  }
}

std::string FormatSegment(const Segment& segment) {
  return notation::FormatSegment(numbering::NotationSegment(segment));
}

}  // namespace quillet
