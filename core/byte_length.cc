// Byte lengths in the configured ANSI code page, through iconv.
//
// The code page is process-wide; every thread keeps its own converter and
// reopens it when the setting changed (iconv descriptors carry state and must
// not be shared between threads).
#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <string>

#include "core/text_functions.h"
#include "quillet/code_page.h"

namespace quillet {
namespace {

constexpr const char* kDefaultCodePage = "CP936";

std::mutex code_page_mutex;
std::string code_page_name = kDefaultCodePage;  // guarded by code_page_mutex
std::atomic<unsigned> code_page_version{0};

std::string CurrentCodePage() {
  std::lock_guard<std::mutex> lock(code_page_mutex);
  return code_page_name;
}

// One thread's converter from UTF-8 into the code page.
class Converter {
 public:
  ~Converter() { Reset(); }

  // Bytes of `text` in the code page; -1 when it cannot be converted.
  long Count(const std::string& text) {
    Refresh();
    if (handle_ == kInvalid) return -1;
    if (ascii_compatible_ && IsAscii(text)) return static_cast<long>(text.size());
    return Convert(text);
  }

 private:
  static inline const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);

  static bool IsAscii(const std::string& text) {
    for (char c : text) {
      if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
  }

  void Refresh() {
    const unsigned wanted = code_page_version.load(std::memory_order_acquire);
    if (opened_ && version_ == wanted) return;
    Reset();
    version_ = wanted;
    opened_ = true;
    handle_ = iconv_open(CurrentCodePage().c_str(), "UTF-8");
    ascii_compatible_ = handle_ != kInvalid && Convert("Az09 -") == 6;
  }

  void Reset() {
    if (handle_ != kInvalid) iconv_close(handle_);
    handle_ = kInvalid;
    opened_ = false;
  }

  long Convert(const std::string& text) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // initial shift state
    std::string input = text;                            // iconv's input pointer is not const
    char* in = input.data();
    std::size_t in_left = input.size();
    char buffer[256];
    long total = 0;
    while (in_left > 0) {
      char* out = buffer;
      std::size_t out_left = sizeof buffer;
      const std::size_t done = iconv(handle_, &in, &in_left, &out, &out_left);
      total += static_cast<long>(sizeof buffer - out_left);
      if (done == static_cast<std::size_t>(-1) && errno != E2BIG) return -1;
    }
    // A final shift sequence, for code pages that have one.
    char* out = buffer;
    std::size_t out_left = sizeof buffer;
    iconv(handle_, nullptr, nullptr, &out, &out_left);
    return total + static_cast<long>(sizeof buffer - out_left);
  }

  iconv_t handle_ = kInvalid;
  bool opened_ = false;
  bool ascii_compatible_ = false;
  unsigned version_ = 0;
};

}  // namespace

void SetAnsiCodePage(std::string code_page) {
  // A bare number names a Windows code page ("936" is "CP936").
  if (!code_page.empty() && code_page.find_first_not_of("0123456789") == std::string::npos) {
    code_page = "CP" + code_page;
  }
  {
    std::lock_guard<std::mutex> lock(code_page_mutex);
    code_page_name = std::move(code_page);
  }
  code_page_version.fetch_add(1, std::memory_order_acq_rel);
}

int32_t GetByteLen(const std::string& text) {
  thread_local Converter converter;
  const long bytes = converter.Count(text);
  if (bytes < 0 || bytes > INT32_MAX) return 0;
  return static_cast<int32_t>(bytes);
}

}  // namespace quillet
