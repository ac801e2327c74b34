#include "apps/serve/worker.h"

#include "apps/serve/problem.h"
#include "apps/serve/thread_locale.h"
#include "quillet/error.h"

namespace quillet::serve {
namespace {

thread_local Worker* current_worker = nullptr;

[[noreturn]] void RaiseUnavailable(const Error& error) {
  throw Unavailable("the database cannot be used right now: " + error.description(),
                    error.number());
}

// The database that cannot be opened as the typed interface needs it.
[[noreturn]] void RaiseCannotOpen(const Failure& failure) {
  if (failure.kind() == FailureKind::kNotFound) {
    throw Unavailable(failure.description(), failure.number());
  }
  RaiseUnavailable(failure);
}

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
  // Without a component object nothing has read the old locale yet: its
  // init will read the new one.
  if (component_) {
    SwitchThreadLocale(locale);
  } else {
    SetThreadLocale(locale);
  }
  locale_ = locale;
}

Numbering& Worker::Domain() {
  auto found = domains_.find(locale_);
  if (found != domains_.end()) return found->second;
  Numbering::Options options;
  options.locale = locale_;
  options.ask_for_value = [](const std::string& source) {
    return "add \"" + source + "\" to the request's values";
  };
  try {
    return domains_.emplace(locale_, Numbering::Open(config_.db, options)).first->second;
  } catch (const Failure& failure) {
    RaiseCannotOpen(failure);
  }
}

void Worker::CheckReady() const {
  Numbering::Options options;
  options.locale = locale_;
  try {
    Numbering::Open(config_.db, options);
  } catch (const Failure& failure) {
    RaiseCannotOpen(failure);
  }
}

Dispatcher& Worker::Calls() {
  if (calls_) return *calls_;
  auto component = std::make_unique<clsQuillet>();
  try {
    std::shared_ptr<Login> login = login_;
    component->init(login);
  } catch (const Error& error) {
    RaiseUnavailable(error);
  }
  component_ = std::move(component);
  calls_ = std::make_unique<Dispatcher>(*component_, login_);
  return *calls_;
}

void Worker::Reset() {
  calls_.reset();
  component_.reset();
  domains_.clear();
}

CurrentWorkerScope::CurrentWorkerScope(Worker& worker) { current_worker = &worker; }

CurrentWorkerScope::~CurrentWorkerScope() { current_worker = nullptr; }

}  // namespace quillet::serve
