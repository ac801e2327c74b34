// A person's changes to the mappings: one code set, an archive reset.
#ifndef QUILLET_MAPPING_MAPPING_EDIT_H_
#define QUILLET_MAPPING_MAPPING_EDIT_H_

#include <string>

#include "quillet/variant.h"
#include "store/connection.h"

namespace quillet::mapping {

// Sets the code of one archive value from a mapping edit document (a document
// reference whose root carries ccode, ccontent and cseedcode) and marks it as
// the user's, on a write connection, with its entry in the rule history by
// `user`, in one transaction; a value without a mapping row is left alone.
// Raises as LoadDocumentFrom and RootOf do, and the database's errors.
void SetUserCode(store::Connection& db, const Variant& edit, const std::string& user = {});

// Deletes every mapping row of the archive `archive`, the user's included.
// The rule history records the reset by `user`. Raises the database's errors.
void ResetArchive(store::Connection& db, const std::string& archive, const std::string& user = {});

}  // namespace quillet::mapping

#endif  // QUILLET_MAPPING_MAPPING_EDIT_H_
