// Feeds arbitrary bytes to the two XML readers: the document loader with a
// query, and the record set persistence reader. Both must either succeed or
// report failure in their documented way; anything else is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "quillet/error.h"
#include "quillet/recordset.h"
#include "quillet/xml_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  quillet::XmlDocument doc;
  if (doc.loadXML(text)) {
    if (auto row = doc.selectSingleNode("//row [@itype='2']")) row->getAttribute("value");
    for (const quillet::XmlNode& row : doc.selectNodes("//z:row")) {
      for (std::size_t i = 0; i < row.attributeCount(); ++i) row.attributeAt(i)->text();
    }
    doc.xml();
  } else if (!doc.empty() || !doc.xml().empty()) {
    __builtin_trap();
  }

  try {
    const quillet::RecordSet rs = quillet::RecordSet::LoadXml(text);
    // What was read must be written and read back without loss of shape.
    const quillet::RecordSet again = quillet::RecordSet::LoadXml(rs.SaveXml());
    if (again.RecordCount() != rs.RecordCount() || again.columns().size() != rs.columns().size()) {
      __builtin_trap();
    }
  } catch (const quillet::Error& e) {
    if (e.number() != quillet::errc::kXmlInvalid) __builtin_trap();
  }
  return 0;
}
