#include "apps/serve/worker.h"

#include "apps/serve/problem.h"
#include "apps/serve/thread_locale.h"
#include "apps/tool_error.h"
#include "quillet/error.h"

namespace quillet::apps::serve {
namespace {

thread_local Worker* current_worker = nullptr;

}  // namespace

Worker::Worker(const ServiceConfig& config)
    : config_(config),
      login_(std::make_shared<ConfiguredLogin>(config.db, config.allowed_tasks)),
      locale_(config.locale) {
  SetThreadLocale(locale_);
}

Worker::~Worker() = default;

Worker* Worker::Current() { return current_worker; }

void Worker::UseLocale(const std::string& locale) {
  if (locale == locale_) return;
  // Without a session nothing has read the old locale yet: the session's
  // init will read the new one.
  if (session_) {
    SwitchThreadLocale(locale);
  } else {
    SetThreadLocale(locale);
  }
  locale_ = locale;
}

std::unique_ptr<DomainSession> Worker::OpenSession() const {
  try {
    return std::make_unique<DomainSession>(DomainOptions{config_.db, locale_, false}, login_);
  } catch (const ToolFailure& failure) {
    throw Unavailable(failure.what(), failure.number());
  } catch (const Error& error) {
    throw Unavailable("the database cannot be used right now: " + error.description(),
                      error.number());
  }
}

DomainSession& Worker::Session() {
  if (!session_) session_ = OpenSession();
  return *session_;
}

Dispatcher& Worker::Calls() {
  DomainSession& session = Session();
  if (!calls_) calls_ = std::make_unique<Dispatcher>(session.component(), login_);
  return *calls_;
}

void Worker::Reset() {
  calls_.reset();
  session_.reset();
}

CurrentWorkerScope::CurrentWorkerScope(Worker& worker) { current_worker = &worker; }

CurrentWorkerScope::~CurrentWorkerScope() { current_worker = nullptr; }

}  // namespace quillet::apps::serve
