// Reading the provider's INI file with the system's reader,
// GetPrivateProfileStringW. Like inih on POSIX, a "; comment" after a value
// is not part of it. The system reader reports no line numbers and passes
// over lines it does not understand.
#include "platform/IniFile.h"

#include <vector>

#include "platform/windows/WideText.h"

namespace norvo::platform {
namespace {

// The whole text of one GetPrivateProfileStringW call, growing the buffer
// until it fits (the call truncates silently and says so only by its length).
std::wstring ProfileString(const std::wstring& file, const std::wstring& section, const wchar_t* key) {
  std::vector<wchar_t> buffer(1024);
  for (;;) {
    const DWORD length = GetPrivateProfileStringW(section.c_str(), key, L"", buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), file.c_str());
    // A list of key names ends in two NULs, a value in one.
    const DWORD room = static_cast<DWORD>(buffer.size()) - (key == nullptr ? 2 : 1);
    if (length < room) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

// The value without a comment that starts at a ";" after a blank, and
// without the blanks that were before that comment.
std::string WithoutComment(std::string value) {
  for (std::size_t i = 1; i < value.size(); ++i) {
    if (value[i] == ';' && (value[i - 1] == ' ' || value[i - 1] == '\t')) {
      value.resize(i);
      break;
    }
  }
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
  return value;
}

}  // namespace

IniReading ReadIniSection(const std::string& file, const std::string& section, const IniTake& take) {
  IniReading result;
  const std::wstring wide_file = Widen(file);
  const DWORD attributes = GetFileAttributesW(wide_file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    result.error = "cannot be opened";
    return result;
  }
  result.opened = true;
  const std::wstring wide_section = Widen(section);
  const std::wstring keys = ProfileString(wide_file, wide_section, nullptr);
  for (std::size_t start = 0; start < keys.size();) {
    const std::size_t end = keys.find(L'\0', start);
    const std::wstring key = keys.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    start = end == std::wstring::npos ? keys.size() : end + 1;
    if (key.empty()) continue;
    const std::string value = WithoutComment(Narrow(ProfileString(wide_file, wide_section, key.c_str())));
    result.error = take(Narrow(key), value);
    if (!result.error.empty()) return result;
  }
  result.ok = true;
  return result;
}

}  // namespace norvo::platform
