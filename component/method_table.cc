// The public interface of clsQuillet, one row per method, in interface order,
// each with the call that passes a call's slots to the method.
#include "component/method_table.h"

#include "component/call_arguments.h"
#include "core/ascii_case.h"
#include "quillet/quillet.h"

namespace quillet::service {
namespace {

constexpr Direction kIn = Direction::kIn;
constexpr Direction kInOut = Direction::kInOut;

// Every sErr is a text in/out parameter.
constexpr Parameter kErr{"sErr", Kind::kText, kInOut};
constexpr Parameter kSave{"bSave", Kind::kBoolean, kIn, /*optional=*/true};

std::vector<Method> BuildTable() {
  using K = Kind;
  return {
      {1,
       "init",
       {{"ologin", K::kLogin, kInOut}},
       K::kVariant,
       [](clsQuillet& o, CallArguments& a) { return o.init(a.LoginRef(0)); }},
      {2,
       "Getinitdata",
       {{"rssetupTree", K::kVariant, kInOut},
        {"RstPrefix", K::kVariant, kInOut},
        {"Rstfreename", K::kVariant, kInOut},
        kErr},
       K::kVariant,
       [](clsQuillet& o, CallArguments& a) {
         return o.Getinitdata(a.Var(0), a.Var(1), a.Var(2), a.Text(3));
       }},
      {3,
       "GetInvBatchRulesrv",
       {{"Invccode", K::kText, kIn},
        {"RsinvRule", K::kVariant, kInOut},
        {"invtype", K::kInt16, kIn},
        kErr},
       K::kVariant,
       [](clsQuillet& o, CallArguments& a) {
         return o.GetInvBatchRulesrv(a.Text(0), a.Var(1), a.Int16(2), a.Text(3));
       }},
      {4,
       "GetmaxGrade",
       {{"maxgrade", K::kInt16, kInOut}, {"tablname", K::kText, kIn}, kErr},
       K::kVariant,
       [](clsQuillet& o, CallArguments& a) {
         return o.GetmaxGrade(a.Int16(0), a.Text(1), a.Text(2));
       }},
      {5,
       "GetGradeRulesrv",
       {{"graderule", K::kText, kInOut}, {"tablname", K::kText, kIn}, kErr},
       K::kVariant,
       [](clsQuillet& o, CallArguments& a) {
         return o.GetGradeRulesrv(a.Text(0), a.Text(1), a.Text(2));
       }},
      {6,
       "GetInvNodesrv",
       {{"invclasscode", K::kText, kIn}, {"Rsinv", K::kVariant, kInOut}, kErr},
       K::kVariant,
       [](clsQuillet& o, CallArguments& a) {
         return o.GetInvNodesrv(a.Text(0), a.Var(1), a.Text(2));
       }},
      {7,
       "GetNumbertreesrv",
       {{"Rsbatchrule", K::kVariant, kInOut}, kErr},
       K::kVariant,
       [](clsQuillet& o, CallArguments& a) { return o.GetNumbertreesrv(a.Var(0), a.Text(1)); }},
      {8,
       "saveprefixcodesrv",
       {{"Domprefixcode", K::kVariant, kIn}, kErr},
       K::kVariant,
       [](clsQuillet& o, CallArguments& a) { return o.saveprefixcodesrv(a.Var(0), a.Text(1)); }},
      {9,
       "Resetprefixsrv",
       {{"strcontent", K::kText, kIn}, kErr},
       K::kVariant,
       [](clsQuillet& o, CallArguments& a) { return o.Resetprefixsrv(a.Text(0), a.Text(1)); }},
      {10,
       "GetmaxNumbersrv",
       {{"inumInvcode", K::kText, kIn},
        {"vMaxnumber", K::kVariant, kInOut},
        {"inumInvtype", K::kInt16, kIn},
        kErr},
       K::kVariant,
       [](clsQuillet& o, CallArguments& a) {
         return o.GetmaxNumbersrv(a.Text(0), a.Var(1), a.Int16(2), a.Text(3));
       }},
      {11,
       "Getprefixrssrv",
       {{"DomPrefixkey", K::kVariant, kIn},
        {"maxlength", K::kInt32, kInOut},
        {"RsPrefix", K::kVariant, kInOut},
        {"datasrcformat", K::kText, kInOut},
        kErr},
       K::kVariant,
       [](clsQuillet& o, CallArguments& a) {
         return o.Getprefixrssrv(a.Var(0), a.Int32(1), a.Var(2), a.Text(3), a.Text(4));
       }},
      {12,
       "DelSNRulesrv",
       {{"sDelInvcode", K::kText, kIn},
        {"IDelinvtype", K::kInt16, kIn},
        {"sDelRulename", K::kText, kIn},
        kErr},
       K::kVariant,
       [](clsQuillet& o, CallArguments& a) {
         return o.DelSNRulesrv(a.Text(0), a.Int16(1), a.Text(2), a.Text(3));
       }},
      {13,
       "SaveSNRulesrv",
       {{"DombatchRule", K::kDocument, kIn},
        {"SsaveInvcode", K::kText, kIn},
        {"Isaveinvtype", K::kInt16, kIn},
        {"SsaveRulename", K::kText, kIn},
        kErr},
       K::kVariant,
       [](clsQuillet& o, CallArguments& a) {
         return o.SaveSNRulesrv(a.Document(0), a.Text(1), a.Int16(2), a.Text(3), a.Text(4));
       }},
      {14,
       "SavemaxNumbersrv",
       {{"Invccode", K::kText, kIn},
        {"RstinvmaxNum", K::kVariant, kInOut},
        {"invtype", K::kInt16, kIn},
        kErr},
       K::kVariant,
       [](clsQuillet& o, CallArguments& a) {
         return o.SavemaxNumbersrv(a.Text(0), a.Var(1), a.Int16(2), a.Text(3));
       }},
      {15,
       "getLineSNum",
       {{"cinvcode", K::kText, kInOut},
        {"DomHead", K::kDocument, kInOut},
        {"DomBody", K::kDocument, kInOut},
        {"vchType", K::kText, kInOut},
        kSave},
       K::kText,
       [](clsQuillet& o, CallArguments& a) {
         return Variant(
             o.getLineSNum(a.Text(0), a.Document(1), a.Document(2), a.Text(3), a.Boolean(4)));
       }},
      {16,
       "getSNumber",
       {{"cinvcode", K::kText, kInOut}, {"DomValue", K::kDocument, kInOut}, kErr, kSave},
       K::kText,
       [](clsQuillet& o, CallArguments& a) {
         return Variant(o.getSNumber(a.Text(0), a.Document(1), a.Text(2), a.Boolean(3)));
       }},
      {17,
       "GetContrapose",
       {{"cDataType", K::kText, kIn}, {"cSeed", K::kText, kIn}},
       K::kText,
       [](clsQuillet& o, CallArguments& a) {
         return Variant(o.GetContrapose(a.Text(0), a.Text(1)));
       }},
      {18,
       "CheckTaskExecsrv",
       {{"sTaskID", K::kText, kIn}, {"bTaskExec", K::kVariant, kInOut}},
       K::kVariant,
       [](clsQuillet& o, CallArguments& a) { return o.CheckTaskExecsrv(a.Text(0), a.Var(1)); }},
      {19,
       "getSNbatch",
       {{"cinvcode", K::kText, kInOut}, {"DomValue", K::kDocument, kInOut}, kErr, kSave},
       K::kDocument,
       [](clsQuillet& o, CallArguments& a) {
         return Variant(o.getSNbatch(a.Text(0), a.Document(1), a.Text(2), a.Boolean(3)));
       }},
      {20,
       "getSNrule",
       {{"cinvcode", K::kText, kInOut}, {"DomValue", K::kDocument, kInOut}, kErr, kSave},
       K::kDocument,
       [](clsQuillet& o, CallArguments& a) {
         return Variant(o.getSNrule(a.Text(0), a.Document(1), a.Text(2), a.Boolean(3)));
       }},
  };
}

}  // namespace

const std::vector<Method>& MethodTable() {
  static const std::vector<Method> table = BuildTable();
  return table;
}

const Method* FindMethod(std::string_view name) {
  for (const Method& method : MethodTable()) {
    if (EqualsIgnoringAsciiCase(method.name, name)) return &method;
  }
  return nullptr;
}

int FindParameter(const Method& method, std::string_view name) {
  for (std::size_t i = 0; i < method.parameters.size(); ++i) {
    if (EqualsIgnoringAsciiCase(method.parameters[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace quillet::service
