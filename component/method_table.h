// The public methods of clsQuillet as data: names, parameters, kinds.
#ifndef QUILLET_COMPONENT_METHOD_TABLE_H_
#define QUILLET_COMPONENT_METHOD_TABLE_H_

#include <string_view>
#include <vector>

namespace quillet {
class clsQuillet;
class Variant;
}  // namespace quillet

namespace quillet::service {

class CallArguments;

// What a parameter or result holds.
enum class Kind {
  kText,
  kInt16,
  kInt32,
  kBoolean,
  kDocument,  // a reference to an XmlDocument
  kLogin,     // a reference to a Login object
  kVariant,
};

// in: passed by value. in/out: passed by reference; the method may write it.
enum class Direction { kIn, kInOut };

struct Parameter {
  std::string_view name;
  Kind kind;
  Direction direction;
  bool optional = false;  // only bSave; omitted it is false
};

struct Method {
  int order;  // position in the public interface, from 1
  std::string_view name;
  std::vector<Parameter> parameters;
  Kind result;  // kVariant, kText or kDocument
  // Calls the method on `object` with a call's slots (laid out as
  // `parameters`) and returns its result as a variant: the text of a text
  // method, the document of a document method. Raises what the method raises.
  Variant (*invoke)(clsQuillet& object, CallArguments& args);
};

// The twenty methods in the order of the public interface. Never changes;
// safe to read from any thread.
const std::vector<Method>& MethodTable();

// The method named `name` (compared without regard to case), or nullptr.
const Method* FindMethod(std::string_view name);

// The position of the parameter named `name` (without regard to case) in
// `method.parameters`, or -1.
int FindParameter(const Method& method, std::string_view name);

}  // namespace quillet::service

#endif  // QUILLET_COMPONENT_METHOD_TABLE_H_
