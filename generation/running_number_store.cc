#include "generation/running_number_store.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include "quillet/error.h"
#include "store/rule_queries.h"

namespace quillet::generation {

void StoreNextNumber(const store::Connection& service, const RuleOwner& owner,
                     const std::string& read, const std::string& next, bool last_attempt) {
  const auto writer = store::OpenWriteConnection(service);
  if (store::generation::AdvanceNumber(*writer, owner.code, owner.TypeText(), read, next)) return;
  if (!last_attempt) throw RunningNumberTaken{};
  throw Error(kRunningNumberContended,
              "The running number of this rule was advanced by other callers on every attempt");
}

void PauseAfterLostRace(int attempt) {
  thread_local std::minstd_rand random{std::random_device{}()};
  const int ceiling_us = 200 << std::min(attempt, 5);  // 0.2 ms up to 6.4 ms
  std::uniform_int_distribution<int> pause(0, ceiling_us);
  std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
}

}  // namespace quillet::generation
