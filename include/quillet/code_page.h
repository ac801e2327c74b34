// The code page in which the widths of serial-number segments are counted.
#ifndef QUILLET_CODE_PAGE_H_
#define QUILLET_CODE_PAGE_H_

#include <string>

#include "quillet/export.h"

namespace quillet {

// The code page in which segment widths are counted (default "CP936", where a
// Chinese character takes two bytes). Process-wide; set it before use.
QUILLET_EXPORT void SetAnsiCodePage(std::string code_page);

}  // namespace quillet

#endif  // QUILLET_CODE_PAGE_H_
