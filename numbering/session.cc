#include "numbering/session.h"

#include <filesystem>
#include <optional>

#include "core/segment_notation.h"
#include "maintenance/schema.h"
#include "mapping/source_locales.h"
#include "quillet/language.h"
#include "store/database_error.h"

namespace quillet::numbering {
namespace {

constexpr std::string_view kSqliteScheme = "sqlite:";

void RequireTables(generation::Reader& reader, const std::string& connection_string) {
  const std::optional<maintenance::MissingTable> missing = maintenance::FindMissingTable(reader);
  if (!missing) return;
  RaiseNotFound("the database " + connection_string + " has no readable table " + missing->table +
                    " (" + missing->error.description() + ")",
                missing->error.number());
}

// Captions, archives and the mappings' sources are found in the locale's
// data source rows only; a database that describes none has nothing to
// choose from.
void RequireDescribedLocale(generation::Reader& reader, const std::string& locale) {
  std::string described;
  for (const std::string& known : mapping::DataSourceLocales(reader)) {
    if (known == locale) return;
    described += (described.empty() ? "" : ", ") + known;
  }
  if (described.empty()) return;
  RaiseNotFound("the database describes no data sources for locale '" + locale +
                "' (it describes " + described + ")");
}

FailureKind KindOfEngineError(const Error& error) {
  switch (error.number()) {
    case errc::kWidthOutOfRange:
    case errc::kInvalidText:
    case errc::kRequestTooLarge:
    case errc::kBadConnectionString:
      return FailureKind::kInvalidRequest;
    case errc::kSharedRuleName:
      return FailureKind::kConflict;
    case errc::kGuarded:
      return FailureKind::kGuarded;
    default:
      return store::IsUnavailable(error) ? FailureKind::kUnavailable : FailureKind::kDatabase;
  }
}

}  // namespace

Session::Session(const std::string& connection_string, const Numbering::Options& options)
    : connection_string_(connection_string),
      options_(options),
      language_(modLanguage::CreateLanguage(*BuiltinLanguage(options.locale))),
      reader_((RequireSqliteFile(connection_string), connection_string)) {
  RequireTables(reader_, connection_string_);
  RequireDescribedLocale(reader_, options_.locale);
}

void RequireSqliteFile(const std::string& connection_string) {
  if (!connection_string.starts_with(kSqliteScheme)) return;
  const std::string path = connection_string.substr(kSqliteScheme.size());
  std::error_code ignored;
  if (path == ":memory:" || std::filesystem::is_regular_file(path, ignored)) return;
  RaiseNotFound("no database file " + path);
}

Failure FailureOf(std::exception_ptr raised) {
  try {
    std::rethrow_exception(raised);
  } catch (const Failure& failure) {
    return failure;
  } catch (const store::DatabaseFailure& error) {
    const FailureKind kind =
        store::IsUnavailable(error) ? FailureKind::kUnavailable : FailureKind::kDatabase;
    return Failure(kind, error, error.SqlState(), error.SqliteCode());
  } catch (const Error& error) {
    return Failure(KindOfEngineError(error), error.number(), error.description());
  } catch (const notation::NotationError& bad) {
    return Failure(FailureKind::kInvalidRequest, bad.number().value_or(errc::kBadRequest),
                   bad.what());
  }
}

void RaiseBadRequest(const std::string& message) {
  throw Failure(FailureKind::kInvalidRequest, errc::kBadRequest, message);
}

void RaiseNotFound(const std::string& message, int32_t number) {
  throw Failure(FailureKind::kNotFound, number, message);
}

}  // namespace quillet::numbering
