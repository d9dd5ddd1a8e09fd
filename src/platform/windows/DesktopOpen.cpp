#include "platform/DesktopOpen.h"

#include <windows.h>
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

#include "platform/windows/WideText.h"

namespace norvo::platform {

bool OpenWithDesktop(const std::string& address, std::string* error) {
  if (address.empty()) {
    if (error) *error = "no address to open";
    return false;
  }
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  // Errors come back here rather than in a box of the shell's own.
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = L"open";
  const std::wstring file = Widen(address);
  info.lpFile = file.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&info)) return true;
  if (error) *error = address + ": " + SystemErrorText(GetLastError());
  return false;
}

}  // namespace norvo::platform
