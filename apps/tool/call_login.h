// The login object a call by name binds its component object with.
#ifndef QUILLET_APPS_TOOL_CALL_LOGIN_H_
#define QUILLET_APPS_TOOL_CALL_LOGIN_H_

#include <memory>

#include "apps/cli/options.h"
#include "quillet/login.h"

namespace quillet::tool {

// Installs the built-in language component for the session's locale,
// process-wide, and returns the login object the session's init receives:
// KelDbName answers the --db value, TaskExec answers true for the tasks of
// --allow-task, UserName the name of the user this process runs as.
std::shared_ptr<Login> StartSession(const cli::SessionOptions& options);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_CALL_LOGIN_H_
