// The deployment check: what a database lacks, and how a PostgreSQL server
// keeps what was committed when it fails over.
#ifndef QUILLET_NUMBERING_DEPLOYMENT_CHECK_H_
#define QUILLET_NUMBERING_DEPLOYMENT_CHECK_H_

#include "quillet/numbering.h"
#include "store/connection.h"

namespace quillet::numbering {

// The findings of Numbering::Check on an open connection. Raises the
// database's Error for a failure other than a missing table.
DeploymentCheck CheckDeployment(store::Connection& db);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_DEPLOYMENT_CHECK_H_
