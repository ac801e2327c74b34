// What one worker thread of the service keeps: its own component object bound
// to the database (objects are used on one thread only), the tool's
// look-up session around it, and the locale it answers in.
#ifndef QUILLET_APPS_SERVE_WORKER_H_
#define QUILLET_APPS_SERVE_WORKER_H_

#include <memory>
#include <string>

#include "apps/domain_session.h"
#include "apps/serve/service_config.h"
#include "quillet/dispatch.h"
#include "quillet/login.h"

namespace quillet::apps::serve {

class Worker {
 public:
  explicit Worker(const ServiceConfig& config);
  ~Worker();
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // The worker of the calling thread; null outside the service's workers.
  static Worker* Current();

  // Answers in `locale` from now on: the component's messages and the
  // captions it reads. Raises quillet::Error when the switch fails.
  void UseLocale(const std::string& locale);
  const std::string& locale() const { return locale_; }

  // The session, bound to the database on first use. Raises a 503 Problem
  // when the database cannot be used (unreachable, missing, no tables).
  DomainSession& Session();

  // A new session of its own, bound to the database in the worker's locale.
  // Raises a 503 Problem when the database cannot be used.
  std::unique_ptr<DomainSession> OpenSession() const;

  // Calls by name on the session's component object.
  Dispatcher& Calls();

  // The login object the worker's inits receive: the service's database and
  // allowed tasks.
  const std::shared_ptr<Login>& login() const { return login_; }

  // Forgets the session, so that the next request binds afresh (after the
  // database went away).
  void Reset();

 private:
  friend class CurrentWorkerScope;

  const ServiceConfig& config_;
  std::shared_ptr<Login> login_;
  std::string locale_;
  std::unique_ptr<DomainSession> session_;
  std::unique_ptr<Dispatcher> calls_;
};

// Makes a worker the calling thread's Worker::Current() while it lives.
class CurrentWorkerScope {
 public:
  explicit CurrentWorkerScope(Worker& worker);
  ~CurrentWorkerScope();
  CurrentWorkerScope(const CurrentWorkerScope&) = delete;
  CurrentWorkerScope& operator=(const CurrentWorkerScope&) = delete;
};

}  // namespace quillet::apps::serve

#endif  // QUILLET_APPS_SERVE_WORKER_H_
