// The public interface of clsQuillet, one row per method, in interface order.
#include "component/method_table.h"

#include "core/ascii_case.h"

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
      {1, "init", {{"ologin", K::kLogin, kInOut}}, K::kVariant},
      {2,
       "Getinitdata",
       {{"rssetupTree", K::kVariant, kInOut},
        {"RstPrefix", K::kVariant, kInOut},
        {"Rstfreename", K::kVariant, kInOut},
        kErr},
       K::kVariant},
      {3,
       "GetInvBatchRulesrv",
       {{"Invccode", K::kText, kIn},
        {"RsinvRule", K::kVariant, kInOut},
        {"invtype", K::kInt16, kIn},
        kErr},
       K::kVariant},
      {4,
       "GetmaxGrade",
       {{"maxgrade", K::kInt16, kInOut}, {"tablname", K::kText, kIn}, kErr},
       K::kVariant},
      {5,
       "GetGradeRulesrv",
       {{"graderule", K::kText, kInOut}, {"tablname", K::kText, kIn}, kErr},
       K::kVariant},
      {6,
       "GetInvNodesrv",
       {{"invclasscode", K::kText, kIn}, {"Rsinv", K::kVariant, kInOut}, kErr},
       K::kVariant},
      {7, "GetNumbertreesrv", {{"Rsbatchrule", K::kVariant, kInOut}, kErr}, K::kVariant},
      {8, "saveprefixcodesrv", {{"Domprefixcode", K::kVariant, kIn}, kErr}, K::kVariant},
      {9, "Resetprefixsrv", {{"strcontent", K::kText, kIn}, kErr}, K::kVariant},
      {10,
       "GetmaxNumbersrv",
       {{"inumInvcode", K::kText, kIn},
        {"vMaxnumber", K::kVariant, kInOut},
        {"inumInvtype", K::kInt16, kIn},
        kErr},
       K::kVariant},
      {11,
       "Getprefixrssrv",
       {{"DomPrefixkey", K::kVariant, kIn},
        {"maxlength", K::kInt32, kInOut},
        {"RsPrefix", K::kVariant, kInOut},
        {"datasrcformat", K::kText, kInOut},
        kErr},
       K::kVariant},
      {12,
       "DelSNRulesrv",
       {{"sDelInvcode", K::kText, kIn},
        {"IDelinvtype", K::kInt16, kIn},
        {"sDelRulename", K::kText, kIn},
        kErr},
       K::kVariant},
      {13,
       "SaveSNRulesrv",
       {{"DombatchRule", K::kDocument, kIn},
        {"SsaveInvcode", K::kText, kIn},
        {"Isaveinvtype", K::kInt16, kIn},
        {"SsaveRulename", K::kText, kIn},
        kErr},
       K::kVariant},
      {14,
       "SavemaxNumbersrv",
       {{"Invccode", K::kText, kIn},
        {"RstinvmaxNum", K::kVariant, kInOut},
        {"invtype", K::kInt16, kIn},
        kErr},
       K::kVariant},
      {15,
       "getLineSNum",
       {{"cinvcode", K::kText, kInOut},
        {"DomHead", K::kDocument, kInOut},
        {"DomBody", K::kDocument, kInOut},
        {"vchType", K::kText, kInOut},
        kSave},
       K::kText},
      {16,
       "getSNumber",
       {{"cinvcode", K::kText, kInOut}, {"DomValue", K::kDocument, kInOut}, kErr, kSave},
       K::kText},
      {17, "GetContrapose", {{"cDataType", K::kText, kIn}, {"cSeed", K::kText, kIn}}, K::kText},
      {18,
       "CheckTaskExecsrv",
       {{"sTaskID", K::kText, kIn}, {"bTaskExec", K::kVariant, kInOut}},
       K::kVariant},
      {19,
       "getSNbatch",
       {{"cinvcode", K::kText, kInOut}, {"DomValue", K::kDocument, kInOut}, kErr, kSave},
       K::kDocument},
      {20,
       "getSNrule",
       {{"cinvcode", K::kText, kInOut}, {"DomValue", K::kDocument, kInOut}, kErr, kSave},
       K::kDocument},
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
