// The nearest known word, as the tool's messages suggest it (see
// core/nearest_word.h).
#ifndef QUILLET_APPS_NEAREST_WORD_H_
#define QUILLET_APPS_NEAREST_WORD_H_

#include "core/nearest_word.h"

namespace quillet::apps {

using notation::DidYouMean;
using notation::NearestWord;

}  // namespace quillet::apps

#endif  // QUILLET_APPS_NEAREST_WORD_H_
