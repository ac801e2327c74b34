#include "mapping/source_format.h"

#include "core/field_text.h"
#include "store/mapping_contrapose.h"

namespace quillet::mapping {

bool GetSourceFormat(store::Connection& db, const std::string& source_code, int32_t& width,
                     std::string& format, std::string& pad_sign) {
  const auto segment = store::mapping::FirstSegmentOfType(db, source_code);
  if (segment->Bof() && segment->Eof()) return false;
  width = segment->Field("iformatlength").ToInt32();
  const Variant& pad = segment->Field("cpatchsign");
  pad_sign = pad.IsNull() ? "0" : pad.ToText();
  const Variant& pattern = segment->Field("cdatasrcformat");
  format = FieldTextOrEmpty(pattern);
  return true;
}

}  // namespace quillet::mapping
