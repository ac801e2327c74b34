// The segment notation as the tool's commands use it; the notation itself
// lives with the library (core/segment_notation.h), whose explanations of an
// empty issue write segments in it too.
#ifndef QUILLET_APPS_SEGMENT_NOTATION_H_
#define QUILLET_APPS_SEGMENT_NOTATION_H_

#include "core/segment_notation.h"

namespace quillet::apps {

namespace source = notation::source;
using notation::EscapeSegmentValue;
using notation::FormatSegment;
using notation::IsFreeItem;
using notation::IsLineValue;
using notation::IsMappedSource;
using notation::NotationError;
using notation::ParseSegment;
using notation::Segment;
using notation::SourceHeadKey;
using notation::SourceHeadMeaning;
using notation::SourceName;
using notation::SourceNames;
using notation::SourceType;
using notation::UsesWidth;

}  // namespace quillet::apps

#endif  // QUILLET_APPS_SEGMENT_NOTATION_H_
