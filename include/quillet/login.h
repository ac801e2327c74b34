// Login: the caller's object for the signed-in user.
#ifndef QUILLET_LOGIN_H_
#define QUILLET_LOGIN_H_

#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "quillet/export.h"
#include "quillet/variant.h"

namespace quillet {

// What the component asks of the caller's login object. `init` reads
// KelDbName once; CheckTaskExecsrv calls ClearError and TaskExec. Any member
// may throw; the component documents per method what becomes of that.
class QUILLET_EXPORT Login {
 public:
  virtual ~Login() = default;

  // The connection string of the host database ("sqlite:PATH" or
  // "postgresql:CONNINFO").
  virtual std::string KelDbName() = 0;
  virtual void ClearError() = 0;
  // Whether the task may run; the answer converts to a boolean (null is false).
  // `mode` is -1 for the question and 0 for the follow-up call.
  virtual Variant TaskExec(const std::string& task_id, int16_t mode) = 0;
  // The signed-in user's name, which the journal of issued serial numbers
  // records; empty when the host does not tell. Read once per issue.
  virtual std::string UserName() { return {}; }
};

// A login object that answers from configuration: a fixed connection string,
// the set of task ids that may run, and the user's name.
class QUILLET_EXPORT ConfiguredLogin : public Login {
 public:
  ConfiguredLogin(std::string connection_string, std::set<std::string> allowed_tasks,
                  std::string user_name = {})
      : connection_string_(std::move(connection_string)),
        allowed_tasks_(std::move(allowed_tasks)),
        user_name_(std::move(user_name)) {}

  std::string KelDbName() override { return connection_string_; }
  void ClearError() override {}
  Variant TaskExec(const std::string& task_id, int16_t) override {
    return Variant(allowed_tasks_.count(task_id) > 0);
  }
  std::string UserName() override { return user_name_; }

 private:
  std::string connection_string_;
  std::set<std::string> allowed_tasks_;
  std::string user_name_;
};

}  // namespace quillet

#endif  // QUILLET_LOGIN_H_
