// What one worker thread of the service keeps: its typed interface to the
// database in each locale it answers in, a component object for the calls
// by name (objects are used on one thread only), and the locale of the
// request it answers.
#ifndef QUILLET_SERVE_WORKER_H_
#define QUILLET_SERVE_WORKER_H_

#include <map>
#include <memory>
#include <string>

#include "apps/serve/service_config.h"
#include "quillet/dispatch.h"
#include "quillet/login.h"
#include "quillet/numbering.h"
#include "quillet/quillet.h"

namespace quillet::serve {

class Worker {
 public:
  explicit Worker(const ServiceConfig& config);
  ~Worker();
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // The worker of the calling thread; null outside the service's workers.
  static Worker* Current();

  // Answers in `locale` from now on: the captions and messages of the
  // domain resources and of the calls by name. Raises quillet::Error when
  // the component's switch fails.
  void UseLocale(const std::string& locale);
  const std::string& locale() const { return locale_; }

  // The database through the typed interface, in the worker's locale, opened
  // on first use. Raises a 503 Problem when the database cannot be used
  // (unreachable, missing, no tables).
  Numbering& Domain();

  // Calls by name on the worker's component object, bound on first use.
  // Raises a 503 Problem as Domain does.
  Dispatcher& Calls();

  // Opens a connection of its own and reads each table the service uses.
  // Raises a 503 Problem when the database cannot be used.
  void CheckReady() const;

  // The login object the component's inits receive: the service's database
  // and allowed tasks.
  const std::shared_ptr<Login>& login() const { return login_; }

  // Forgets every connection, so that the next request opens afresh (after
  // the database went away).
  void Reset();

 private:
  friend class CurrentWorkerScope;

  const ServiceConfig& config_;
  std::shared_ptr<Login> login_;
  std::string locale_;
  std::map<std::string, Numbering> domains_;  // by locale
  std::unique_ptr<clsQuillet> component_;
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

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_WORKER_H_
