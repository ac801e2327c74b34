// Calls by name: a request's JSON arguments decoded into the slots of the
// method's parameters, the method run, and its response encoded.
#include "quillet/dispatch.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "component/call_arguments.h"
#include "component/json_integer.h"
#include "component/method_table.h"
#include "core/ascii_case.h"
#include "core/text_check.h"
#include "generation/line_entry.h"
#include "quillet/diagnosis.h"
#include "quillet/limits.h"

namespace quillet {

using nlohmann::json;
using service::Kind;

struct PreparedCall::State {
  const service::Method* method;
  service::CallArguments args;
  bool ran = false;
};

namespace {

// What a caller sees for a failure that is not one of the component's
// errors (the host runtime's "Internal error").
constexpr int32_t kInternalError = 51;

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

[[noreturn]] void RaiseWrongType(const service::Method& method, const service::Parameter& param,
                                 const std::string& expected, const json& given) {
  throw UsageError(errc::kTypeMismatch, std::string(method.name) + ": parameter " +
                                            std::string(param.name) + " expects " + expected +
                                            ", not a JSON " + given.type_name());
}

template <typename T>
T DecodeInteger(const service::Method& method, const service::Parameter& param, const json& value) {
  const auto n = service::JsonInteger(value);
  if (!n) RaiseWrongType(method, param, "an integer", value);
  if (!service::FitsIn<T>(*n)) {
    throw UsageError(errc::kOverflow, std::string(method.name) + ": parameter " +
                                          std::string(param.name) + " " + value.dump() +
                                          " is outside the range " +
                                          std::to_string(std::numeric_limits<T>::min()) + " to " +
                                          std::to_string(std::numeric_limits<T>::max()));
  }
  return static_cast<T>(*n);
}

bool DecodeBoolean(const service::Method& method, const service::Parameter& param,
                   const json& value) {
  if (value.is_boolean()) return value.get<bool>();
  const auto n = service::JsonInteger(value);
  if (n == -1) return true;
  if (n == 0) return false;
  RaiseWrongType(method, param, "true or false (or -1 or 0)", value);
}

std::shared_ptr<XmlDocument> DecodeDocument(const service::Method& method,
                                            const service::Parameter& param, const json& value) {
  if (value.is_null()) return nullptr;
  if (!value.is_string()) RaiseWrongType(method, param, "an XML text or null", value);
  auto document = std::make_shared<XmlDocument>();
  document->loadXML(value.get<std::string>());  // a text that does not load leaves it empty
  return document;
}

// {"KelDbName": "...", "tasks": ["T1", ...], "user": "..."} gives a login
// object with these answers; null gives an empty reference.
std::shared_ptr<Login> DecodeLogin(const service::Method& method, const service::Parameter& param,
                                   const json& value) {
  if (value.is_null()) return nullptr;
  const std::string expected =
      "null or {\"KelDbName\": text, \"tasks\": [text, ...], \"user\": text}";
  if (!value.is_object()) RaiseWrongType(method, param, expected, value);
  std::string connection_string;
  std::string user;
  std::set<std::string> tasks;
  for (const auto& [key, member] : value.items()) {
    if (service::EqualsIgnoringAsciiCase(key, "KelDbName") && member.is_string()) {
      connection_string = member.get<std::string>();
    } else if (service::EqualsIgnoringAsciiCase(key, "user") && member.is_string()) {
      user = member.get<std::string>();
    } else if (service::EqualsIgnoringAsciiCase(key, "tasks") && member.is_array()) {
      for (const json& task : member) {
        if (!task.is_string()) RaiseWrongType(method, param, expected, value);
        tasks.insert(task.get<std::string>());
      }
    } else {
      RaiseWrongType(method, param, expected, value);
    }
  }
  return std::make_shared<ConfiguredLogin>(std::move(connection_string), std::move(tasks),
                                           std::move(user));
}

Variant DecodeVariantParameter(const service::Method& method, const service::Parameter& param,
                               const json& value) {
  try {
    return DecodeVariant(value);
  } catch (const UsageError& error) {
    throw UsageError(error.number(), std::string(method.name) + ": parameter " +
                                         std::string(param.name) + ": " + error.description());
  }
}

service::Slot DecodeSlot(const service::Method& method, const service::Parameter& param,
                         const json& value) {
  switch (param.kind) {
    case Kind::kText:
      if (!value.is_string()) RaiseWrongType(method, param, "a string", value);
      return value.get<std::string>();
    case Kind::kInt16:
      return DecodeInteger<int16_t>(method, param, value);
    case Kind::kInt32:
      return DecodeInteger<int32_t>(method, param, value);
    case Kind::kBoolean:
      return DecodeBoolean(method, param, value);
    case Kind::kDocument:
      return DecodeDocument(method, param, value);
    case Kind::kLogin:
      return DecodeLogin(method, param, value);
    case Kind::kVariant:
      break;
  }
  return DecodeVariantParameter(method, param, value);
}

json EncodeSlot(const service::Slot& slot) {
  return std::visit(
      [](const auto& value) -> json {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, Variant>) {
          return EncodeVariant(value);
        } else if constexpr (std::is_same_v<T, std::shared_ptr<XmlDocument>> ||
                             std::is_same_v<T, std::shared_ptr<Login>>) {
          return EncodeVariant(Variant(value));
        } else {
          return value;
        }
      },
      slot);
}

json ErrorJson(int32_t number, const std::string& description) {
  return {{"number", number}, {"description", description}};
}

json Response(json result, json out, json error) {
  return {{"result", std::move(result)}, {"out", std::move(out)}, {"error", std::move(error)}};
}

json OutParameters(const PreparedCall::State& state) {
  json out = json::object();
  const auto& params = state.method->parameters;
  for (std::size_t i = 0; i < params.size(); ++i) {
    if (params[i].direction == service::Direction::kInOut) {
      out[std::string(params[i].name)] = EncodeSlot(state.args.slots()[i]);
    }
  }
  return out;
}

// A structured value being walked for faulty texts.
struct TextFrame {
  const json* value;
  json::const_iterator next;
  std::size_t index;
  std::string label;  // how the parent names this value: ".key" or "[i]"
};

// "where: rows[0].name" for the value the labels of `stack` and `last` name.
std::string TextPath(const std::string& where, const std::vector<TextFrame>& stack,
                     const std::string& last) {
  std::string labels;
  for (const TextFrame& frame : stack) labels += frame.label;
  labels += last;
  if (labels.empty()) return where;
  return where + ": " + (labels.starts_with('.') ? labels.substr(1) : labels);
}

// What is wrong with the name (in an object) or the text of the member the
// top of `stack` has just passed, labelled `label`.
std::optional<std::string> MemberProblem(const json::const_iterator& member, bool in_object,
                                         const std::string& label, const std::string& where,
                                         const std::vector<TextFrame>& stack) {
  if (in_object) {
    if (auto problem = TextProblem(member.key())) {
      return TextPath(where, stack, "") + " has a member name that " + *problem;
    }
  }
  if (!member->is_string()) return std::nullopt;
  const auto problem = TextProblem(member->get_ref<const std::string&>());
  return problem ? std::optional(TextPath(where, stack, label) + " " + *problem) : std::nullopt;
}

// What is wrong with the first faulty text (a member name or a string) in
// `root`, where `where` names `root`; nullopt when every text is UTF-8
// without NUL. Walks with a stack of its own: a request may nest deeply.
std::optional<std::string> FaultyText(const json& root, const std::string& where) {
  if (root.is_string()) {
    const auto problem = TextProblem(root.get_ref<const std::string&>());
    return problem ? std::optional(where + " " + *problem) : std::nullopt;
  }
  if (!root.is_structured()) return std::nullopt;
  std::vector<TextFrame> stack;
  stack.push_back({&root, root.cbegin(), 0, ""});
  while (!stack.empty()) {
    TextFrame& top = stack.back();
    if (top.next == top.value->cend()) {
      stack.pop_back();
      continue;
    }
    const json::const_iterator member = top.next++;
    const bool in_object = top.value->is_object();
    std::string label = in_object ? "." + member.key() : "[" + std::to_string(top.index) + "]";
    ++top.index;
    if (auto problem = MemberProblem(member, in_object, label, where, stack)) return problem;
    if (member->is_structured()) stack.push_back({&*member, member->cbegin(), 0, std::move(label)});
  }
  return std::nullopt;
}

// The slots of a call before its arguments: each parameter's empty value, and
// the dispatcher's login for a login parameter.
std::vector<service::Slot> DefaultSlots(const service::Method& method,
                                        const std::shared_ptr<Login>& login) {
  std::vector<service::Slot> slots;
  for (const service::Parameter& param : method.parameters) {
    slots.push_back(param.kind == Kind::kLogin ? service::Slot(login)
                                               : service::EmptySlot(param.kind));
  }
  return slots;
}

// The position of the parameter an argument names, marked in `given`; a usage
// error for an unknown name or one given twice.
std::size_t ParameterIndex(const service::Method& method, const std::string& name,
                           std::vector<bool>& given) {
  const int index = service::FindParameter(method, name);
  if (index < 0) {
    throw UsageError(errc::kInvalidArgument,
                     std::string(method.name) + " has no parameter " + Quoted(name));
  }
  const auto at = static_cast<std::size_t>(index);
  if (given[at]) {
    throw UsageError(errc::kInvalidArgument, std::string(method.name) + ": parameter " +
                                                 std::string(method.parameters[at].name) +
                                                 " is given twice");
  }
  given[at] = true;
  return at;
}

// The deepest nesting of arrays and objects in a JSON text, read without
// parsing it (brackets inside strings do not count).
std::size_t NestingDepth(std::string_view text) {
  std::size_t depth = 0;
  std::size_t deepest = 0;
  bool in_string = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_string) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        in_string = false;
      }
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
  return deepest;
}

bool IsIssuingMethod(const service::Method& method) {
  return method.name == "getLineSNum" || method.name == "getSNumber" ||
         method.name == "getSNbatch" || method.name == "getSNrule";
}

// An issuing method's warnings beside its result, when it has any.
void AddWarnings(json& response, const service::Method& method, const clsQuillet& object) {
  if (!IsIssuingMethod(method)) return;
  const std::vector<std::string>& warnings = object.LastIssueNotes().warnings;
  if (!warnings.empty()) response["warnings"] = warnings;
}

std::size_t SlotOf(const service::Method& method, std::string_view name) {
  return static_cast<std::size_t>(service::FindParameter(method, name));
}

// Whether an issuing method gave nothing: the empty text, an empty document,
// a serial list holding an empty entry, or one without entries and an error.
bool AnsweredEmpty(const service::Method& method, service::CallArguments& args,
                   const Variant& result) {
  if (!result.IsObject()) return result.ToText().empty();
  const std::shared_ptr<XmlDocument> document = result.document();
  if (!document || document->empty()) return true;
  const std::vector<XmlNode> entries = document->selectNodes("/SN/R");
  for (const XmlNode& entry : entries) {
    if (entry.getAttribute("sn").value_or("").empty()) return true;
  }
  return entries.empty() && method.name == "getSNbatch" &&
         !args.Text(SlotOf(method, "sErr")).empty();
}

// A batch that stopped before its entries (no count, the digits outgrown)
// says why in sErr already.
std::optional<std::string> BatchReason(const service::Method& method, service::CallArguments& args,
                                       const Variant& result) {
  if (method.name != "getSNbatch") return std::nullopt;
  const std::string& error = args.Text(SlotOf(method, "sErr"));
  const std::shared_ptr<XmlDocument> list = result.document();
  if (error.empty() || (list && !list->selectNodes("/SN/R").empty())) return std::nullopt;
  const std::shared_ptr<XmlDocument>& values = args.Document(SlotOf(method, "DomValue"));
  const std::optional<XmlNode> root = values ? values->documentElement() : std::nullopt;
  if (root && !root->getAttribute("count")) {
    return "the value document's root gives no count of serial numbers (<data count=\"N\">): " +
           error;
  }
  return error;
}

// The value document the method issued from.
std::shared_ptr<XmlDocument> IssuedValues(const service::Method& method,
                                          service::CallArguments& args) {
  if (method.name != "getLineSNum") return args.Document(SlotOf(method, "DomValue"));
  return generation::LineValueDocument(
      args.Text(SlotOf(method, "cinvcode")), args.Document(SlotOf(method, "DomHead")),
      args.Document(SlotOf(method, "DomBody")), args.Text(SlotOf(method, "vchType")));
}

std::string ExplainedReason(const service::Method& method, service::CallArguments& args,
                            clsQuillet& object) {
  try {
    const std::shared_ptr<XmlDocument> values = IssuedValues(method, args);
    if (!values) return "there is no value document to issue from";
    const bool saving = method.name != "getSNrule" && args.Boolean(SlotOf(method, "bSave"));
    return ExplainEmptyIssue(object, *values, saving).text;
  } catch (const std::exception& failure) {
    return std::string("the cause cannot be looked for: ") + failure.what();
  }
}

// Why an issuing method answered empty, beside its result.
void AddReason(json& response, const service::Method& method, service::CallArguments& args,
               clsQuillet& object, const Variant& result) {
  if (!IsIssuingMethod(method) || !AnsweredEmpty(method, args, result)) return;
  std::optional<std::string> reason = BatchReason(method, args, result);
  response["reason"] = reason ? *reason : ExplainedReason(method, args, object);
}

[[noreturn]] void RaiseMalformed(const std::string& why) {
  throw UsageError(errc::kInvalidArgument, "malformed request: " + why);
}

}  // namespace

PreparedCall::PreparedCall(std::unique_ptr<State> state) : state_(std::move(state)) {}
PreparedCall::PreparedCall(PreparedCall&&) noexcept = default;
PreparedCall& PreparedCall::operator=(PreparedCall&&) noexcept = default;
PreparedCall::~PreparedCall() = default;

std::string_view PreparedCall::method() const { return state_->method->name; }

json PreparedCall::Run(clsQuillet& object) {
  if (state_->ran) {
    return NotRun(Error(errc::kInvalidArgument, "this call has already run"));
  }
  state_->ran = true;
  try {
    const Variant result = state_->method->invoke(object, state_->args);
    json response = Response(EncodeVariant(result), OutParameters(*state_), nullptr);
    AddWarnings(response, *state_->method, object);
    AddReason(response, *state_->method, state_->args, object, result);
    return response;
  } catch (const Error& error) {
    return NotRun(error);
  } catch (const std::exception& error) {
    return NotRun(Error(kInternalError, error.what()));
  }
}

json PreparedCall::NotRun(const Error& error) const {
  return Response(nullptr, OutParameters(*state_), ErrorJson(error.number(), error.description()));
}

Dispatcher::Dispatcher(clsQuillet& object, std::shared_ptr<Login> default_login)
    : object_(object), default_login_(std::move(default_login)) {}

PreparedCall Dispatcher::Prepare(std::string_view method_name, const json& args) const {
  const service::Method* method = service::FindMethod(method_name);
  if (method == nullptr) {
    throw UsageError(errc::kNoSuchMember, "unknown method " + Quoted(method_name));
  }
  if (!args.is_null() && !args.is_object()) {
    throw UsageError(errc::kTypeMismatch, std::string(method->name) +
                                              ": the arguments must be a JSON object, not a " +
                                              args.type_name());
  }
  std::vector<service::Slot> slots = DefaultSlots(*method, default_login_);
  if (args.is_object()) {
    std::vector<bool> given(method->parameters.size(), false);
    for (const auto& [name, value] : args.items()) {
      const std::size_t at = ParameterIndex(*method, name, given);
      const service::Parameter& param = method->parameters[at];
      if (auto problem = FaultyText(
              value, std::string(method->name) + ": parameter " + std::string(param.name))) {
        throw UsageError(errc::kInvalidText, *problem);
      }
      slots[at] = DecodeSlot(*method, param, value);
    }
  }
  return PreparedCall(std::make_unique<PreparedCall::State>(
      PreparedCall::State{method, service::CallArguments(std::move(slots))}));
}

json Dispatcher::Call(std::string_view method, const json& args) {
  PreparedCall call = Prepare(method, args);
  return call.Run(object_);
}

json Dispatcher::HandleRequestLine(std::string_view line) {
  try {
    const json request = ParseJson(line);
    if (!request.is_object()) RaiseMalformed("a request is a JSON object");
    for (const auto& [key, value] : request.items()) {
      if (key != "method" && key != "args") RaiseMalformed("unknown member " + Quoted(key));
    }
    const auto method = request.find("method");
    if (method == request.end() || !method->is_string()) {
      RaiseMalformed("\"method\" must be a string");
    }
    static const json kNoArguments;
    const auto args = request.find("args");
    return Call(method->get<std::string>(), args == request.end() ? kNoArguments : *args);
  } catch (const UsageError& error) {
    return UsageErrorResponse(error);
  }
}

json ParseJson(std::string_view text) {
  // Copying or destroying a value recurses once per level: a deep text would
  // exhaust the stack.
  if (NestingDepth(text) > limits::kMaxJsonDepth) {
    throw UsageError(errc::kInvalidArgument,
                     "malformed JSON: arrays and objects nested deeper than " +
                         std::to_string(limits::kMaxJsonDepth) + " levels");
  }
  try {
    json parsed = json::parse(text);
    // The parser takes UTF-8 only; \u0000 is the one escape left to refuse.
    if (auto problem = FaultyText(parsed, "in the JSON text")) {
      throw UsageError(errc::kInvalidText, *problem);
    }
    return parsed;
  } catch (const json::exception& error) {
    // Syntax errors and numbers beyond a double's range alike. The library's
    // messages start with an internal tag in brackets.
    const std::string message = error.what();
    const auto tag_end = message.find("] ");
    throw UsageError(errc::kInvalidArgument,
                     "malformed JSON: " +
                         (tag_end == std::string::npos ? message : message.substr(tag_end + 2)));
  }
}

json UsageErrorResponse(const UsageError& error) {
  return Response(nullptr, json::object(), ErrorJson(error.number(), error.description()));
}

std::string ResponseLine(const json& response) {
  return response.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace quillet
