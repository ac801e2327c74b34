// A record set in its XML persistence form: read, written again, and what was
// written read back.
#include <cstdlib>
#include <string_view>

#include "quillet/error.h"
#include "quillet/recordset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quillet::RecordSet loaded;
  try {
    loaded =
        quillet::RecordSet::LoadXml(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const quillet::Error&) {
    return 0;  // not well-formed, or no rowset
  }
  const std::string saved = loaded.SaveXml();
  try {
    const quillet::RecordSet again = quillet::RecordSet::LoadXml(saved);
    if (again.RecordCount() != loaded.RecordCount()) std::abort();
  } catch (const quillet::Error&) {
    std::abort();  // what the record set writes, it reads
  }
  return 0;
}
