// A login object that records every call it receives, for the service tests.
#ifndef QUILLET_TESTS_COMPONENT_RECORDING_LOGIN_H_
#define QUILLET_TESTS_COMPONENT_RECORDING_LOGIN_H_

#include <cstdint>
#include <string>
#include <vector>

#include "quillet/error.h"
#include "quillet/login.h"

namespace quillet::testing {

class RecordingLogin : public Login {
 public:
  // What TaskExec answers for mode -1 and for mode 0.
  Variant answer_to_question = Variant(true);
  Variant answer_to_follow_up = Variant(true);
  bool task_exec_throws = false;
  bool clear_error_throws = false;
  std::string connection_string = "sqlite:/nonexistent/never-opened.db";

  std::vector<std::string> calls;

  std::string KelDbName() override {
    calls.push_back("KelDbName");
    return connection_string;
  }
  void ClearError() override {
    calls.push_back("ClearError");
    if (clear_error_throws) throw Error(errc::kNoSuchMember, "ClearError failed");
  }
  Variant TaskExec(const std::string& task_id, int16_t mode) override {
    calls.push_back("TaskExec(" + task_id + "," + std::to_string(mode) + ")");
    if (task_exec_throws) throw Error(errc::kNoSuchMember, "TaskExec failed");
    return mode == -1 ? answer_to_question : answer_to_follow_up;
  }
};

}  // namespace quillet::testing

#endif  // QUILLET_TESTS_COMPONENT_RECORDING_LOGIN_H_
