#include "apps/tool/man_page.h"

#include <sstream>

namespace quillet::tool {
namespace {

// `text` with roff's active characters made plain: backslashes, dashes, and a
// dot or apostrophe at the start of a line.
std::string Roff(const std::string& text) {
  std::string out;
  bool line_start = true;
  for (char c : text) {
    if (line_start && (c == '.' || c == '\'')) out += "\\&";
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out += c;
    }
    line_start = c == '\n';
  }
  return out;
}

// A footer as written, examples included: line by line, without filling.
void Preformatted(std::ostream& out, const std::string& text) {
  if (text.empty()) return;
  out << ".PP\n.nf\n" << Roff(text) << "\n.fi\n";
}

void Argument(std::ostream& out, const CLI::Option& option) {
  std::string name = option.nonpositional() ? option.get_name(false, true) : option.get_name();
  out << ".TP\n\\fB" << Roff(name) << "\\fR";
  const std::string type = option.get_type_name();
  if (option.nonpositional() && !type.empty() && option.get_type_size_max() > 0) {
    out << " \\fI" << Roff(type) << "\\fR";
  }
  out << "\n" << Roff(option.get_description());
  if (!option.get_default_str().empty()) out << " (default: " << Roff(option.get_default_str());
  if (!option.get_envname().empty()) {
    out << (option.get_default_str().empty() ? " (" : ", ") << "or $" << option.get_envname();
  }
  if (!option.get_default_str().empty() || !option.get_envname().empty()) out << ")";
  out << "\n";
}

void CommandSection(std::ostream& out, const CLI::App& command, const std::string& path) {
  std::string usage = "quillet " + path;
  for (const CLI::Option* option : command.get_options()) {
    if (option->nonpositional()) continue;
    usage += " " + option->get_name() + (option->get_items_expected_max() > 1 ? "..." : "");
  }
  out << ".SS \"" << Roff(usage) << "\"\n" << Roff(command.get_description()) << ".\n";
  for (const CLI::Option* option : command.get_options()) {
    if (option != command.get_help_ptr()) Argument(out, *option);
  }
  Preformatted(out, command.get_footer());
  for (const CLI::App* sub : command.get_subcommands({})) {
    if (!sub->get_group().empty()) CommandSection(out, *sub, path + " " + sub->get_name());
  }
}

constexpr const char* kClosingSections = R"(.SH ENVIRONMENT
.TP
.B QUILLET_DB
The database when \-\-db is not given: a SQLite file (PATH or sqlite:PATH) or
postgresql:CONNINFO (a libpq key/value string or URI). Default: quillet.db.
.TP
.B QUILLET_LOCALE
The locale id when \-\-locale is not given. Default: zh\-CN.
.SH EXIT STATUS
.TP
.B 0
done
.TP
.B 1
the operation failed; one line on stderr says why, with the error number of the
failing layer (a database's error leads with its own code: SQLite's result code
name or PostgreSQL's SQLSTATE)
.TP
.B 2
the command line is wrong: an unknown command, option or word (answered with the
nearest known one), a missing argument, or a \-\-db of an unknown kind
.SH FILES
.TP
.I quillet.db
the SQLite database in the current directory that the commands use when neither
\-\-db nor QUILLET_DB names another
.SH SEE ALSO
The README and docs/ of the Quillet sources: the segment notation, the value
document, and the JSON form of calls by name.
)";

}  // namespace

std::string ManPage(const CLI::App& tool, const std::string& version) {
  std::ostringstream out;
  out << ".TH QUILLET 1 \"\" \"quillet " << Roff(version) << "\" \"User Commands\"\n"
      << ".SH NAME\nquillet \\- serial\\-number rules for the items of an ERP database\n"
      << ".SH SYNOPSIS\n.B quillet\n\\fICOMMAND\\fR [\\fIARGUMENTS\\fR] [\\fIOPTIONS\\fR]\n"
      << ".br\n.B quillet help\n[\\fICOMMAND\\fR...]\n"
      << ".SH DESCRIPTION\n"
      << Roff(tool.get_description()) << ".\n";
  Preformatted(out, tool.get_footer());
  out << ".SH COMMANDS\n";
  for (const CLI::App* command : tool.get_subcommands({})) {
    if (!command->get_group().empty()) CommandSection(out, *command, command->get_name());
  }
  out << kClosingSections;
  return out.str();
}

}  // namespace quillet::tool
