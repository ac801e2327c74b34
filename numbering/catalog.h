// Read-only look-ups about owners, items, classes and data sources that the
// typed interface needs to check a request and to speak in plain words.
// Every function reads fresh: nothing is kept between calls.
#ifndef QUILLET_NUMBERING_CATALOG_H_
#define QUILLET_NUMBERING_CATALOG_H_

#include <optional>
#include <string>
#include <vector>

#include "numbering/session.h"
#include "quillet/numbering.h"

namespace quillet::numbering {

// The item's class, level and (for a serial-managed item) name; nullopt
// when the inventory has no such item.
std::optional<Item> ItemOf(Session& session, const std::string& code);

// Every inventory class, by code.
std::vector<InventoryClass> ClassesOf(Session& session);

// The class's name; nullopt when there is no such class.
std::optional<std::string> ClassName(Session& session, const std::string& code);

// Raises Failure(kNotFound, errc::kUnknownOwner) for an item or class that
// does not exist.
void RequireKnownOwner(Session& session, const RuleOwner& owner);

// The owner's name: the item's or class's, "" for all.
std::string OwnerName(Session& session, const RuleOwner& owner);

// A rule header: its owner and the rule's name.
struct RuleHeader {
  RuleOwner owner;
  std::string name;
};

// Every rule header: items first, then classes, then all, each by code.
std::vector<RuleHeader> RuleHeaders(Session& session);

// Whether the owner has a rule header.
bool HasRule(Session& session, const RuleOwner& owner);

// Raises Failure for an owner without a rule: kNotFound (errc::kNoOwnRule),
// telling which rule an item's serial numbers follow instead, or
// errc::kUnknownOwner for an owner that does not exist.
void RequireRule(Session& session, const RuleOwner& owner);

// The data sources of `locale` ("" for the session's), in stored order.
std::vector<DataSourceInfo> DataSourcesOf(Session& session, const std::string& locale = {});

// The data source row of `source` in the session's locale. Raises
// Failure(kNotFound) when the database does not describe it there.
DataSourceInfo RequireDataSource(Session& session, DataSource source);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_CATALOG_H_
