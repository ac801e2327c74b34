// Segments between their typed form (quillet/rule.h) and the notation's.
#ifndef QUILLET_NUMBERING_SEGMENT_WORDS_H_
#define QUILLET_NUMBERING_SEGMENT_WORDS_H_

#include <vector>

#include "core/segment_notation.h"
#include "quillet/rule.h"

namespace quillet::numbering {

notation::Segment NotationSegment(const Segment& segment);
Segment TypedSegment(const notation::Segment& segment);
std::vector<notation::Segment> NotationSegments(const std::vector<Segment>& segments);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_SEGMENT_WORDS_H_
