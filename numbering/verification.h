// What a serial number typed or scanned back is: the rules whose patterns it
// fits, its check characters by each, and the journal's record of it.
#ifndef QUILLET_NUMBERING_VERIFICATION_H_
#define QUILLET_NUMBERING_VERIFICATION_H_

#include <string>

#include "numbering/session.h"
#include "quillet/verification.h"

namespace quillet::numbering {

// The verdict on `serial` by every stored rule. Raises Failure
// kInvalidRequest for an empty serial, one longer than kMaxLabelTextBytes or
// not UTF-8; the database's error.
SerialVerdict VerifySerial(Session& session, const std::string& serial);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_VERIFICATION_H_
