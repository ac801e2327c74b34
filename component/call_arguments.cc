// Each public method of clsQuillet called with the slots of a call by name.
#include "component/call_arguments.h"

#include <array>
#include <string>

#include "quillet/error.h"

namespace quillet::service {
namespace {

using Adapter = Variant (*)(clsQuillet&, CallArguments&);

// In the order of the method table: entry i calls the method of order i + 1.
constexpr std::array<Adapter, 20> kAdapters = {
    [](clsQuillet& o, CallArguments& a) { return o.init(a.LoginRef(0)); },
    [](clsQuillet& o, CallArguments& a) {
      return o.Getinitdata(a.Var(0), a.Var(1), a.Var(2), a.Text(3));
    },
    [](clsQuillet& o, CallArguments& a) {
      return o.GetInvBatchRulesrv(a.Text(0), a.Var(1), a.Int16(2), a.Text(3));
    },
    [](clsQuillet& o, CallArguments& a) { return o.GetmaxGrade(a.Int16(0), a.Text(1), a.Text(2)); },
    [](clsQuillet& o, CallArguments& a) {
      return o.GetGradeRulesrv(a.Text(0), a.Text(1), a.Text(2));
    },
    [](clsQuillet& o, CallArguments& a) { return o.GetInvNodesrv(a.Text(0), a.Var(1), a.Text(2)); },
    [](clsQuillet& o, CallArguments& a) { return o.GetNumbertreesrv(a.Var(0), a.Text(1)); },
    [](clsQuillet& o, CallArguments& a) { return o.saveprefixcodesrv(a.Var(0), a.Text(1)); },
    [](clsQuillet& o, CallArguments& a) { return o.Resetprefixsrv(a.Text(0), a.Text(1)); },
    [](clsQuillet& o, CallArguments& a) {
      return o.GetmaxNumbersrv(a.Text(0), a.Var(1), a.Int16(2), a.Text(3));
    },
    [](clsQuillet& o, CallArguments& a) {
      return o.Getprefixrssrv(a.Var(0), a.Int32(1), a.Var(2), a.Text(3), a.Text(4));
    },
    [](clsQuillet& o, CallArguments& a) {
      return o.DelSNRulesrv(a.Text(0), a.Int16(1), a.Text(2), a.Text(3));
    },
    [](clsQuillet& o, CallArguments& a) {
      return o.SaveSNRulesrv(a.Document(0), a.Text(1), a.Int16(2), a.Text(3), a.Text(4));
    },
    [](clsQuillet& o, CallArguments& a) {
      return o.SavemaxNumbersrv(a.Text(0), a.Var(1), a.Int16(2), a.Text(3));
    },
    [](clsQuillet& o, CallArguments& a) {
      return Variant(
          o.getLineSNum(a.Text(0), a.Document(1), a.Document(2), a.Text(3), a.Boolean(4)));
    },
    [](clsQuillet& o, CallArguments& a) {
      return Variant(o.getSNumber(a.Text(0), a.Document(1), a.Text(2), a.Boolean(3)));
    },
    [](clsQuillet& o, CallArguments& a) { return Variant(o.GetContrapose(a.Text(0), a.Text(1))); },
    [](clsQuillet& o, CallArguments& a) { return o.CheckTaskExecsrv(a.Text(0), a.Var(1)); },
    [](clsQuillet& o, CallArguments& a) {
      return Variant(o.getSNbatch(a.Text(0), a.Document(1), a.Text(2), a.Boolean(3)));
    },
    [](clsQuillet& o, CallArguments& a) {
      return Variant(o.getSNrule(a.Text(0), a.Document(1), a.Text(2), a.Boolean(3)));
    },
};

}  // namespace

Slot EmptySlot(Kind kind) {
  switch (kind) {
    case Kind::kText:
      return std::string();
    case Kind::kInt16:
      return int16_t{0};
    case Kind::kInt32:
      return int32_t{0};
    case Kind::kBoolean:
      return false;
    case Kind::kDocument:
      return std::shared_ptr<XmlDocument>();
    case Kind::kLogin:
      return std::shared_ptr<Login>();
    case Kind::kVariant:
      break;
  }
  return Variant();
}

Variant InvokeMethod(const Method& method, clsQuillet& object, CallArguments& args) {
  const auto index = static_cast<std::size_t>(method.order - 1);
  if (index >= kAdapters.size()) {
    throw Error::NoSuchMember();
  }
  return kAdapters[index](object, args);
}

}  // namespace quillet::service
