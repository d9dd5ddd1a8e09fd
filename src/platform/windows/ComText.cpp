#include "platform/windows/ComText.h"

#include <objbase.h>

#include <iomanip>
#include <sstream>

#include "platform/windows/WideText.h"

namespace norvo::platform {
namespace {

BSTR AllocateText(const std::string& utf8) {
  const std::wstring wide = Widen(utf8);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

}  // namespace

ComScope::ComScope()
    : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)),
      usable_(SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE) {}

ComScope::~ComScope() {
  if (SUCCEEDED(result_)) CoUninitialize();
}

ComText::ComText(const std::string& utf8) : text_(AllocateText(utf8)) {}

TextVariant::TextVariant(const std::string& utf8) {
  VariantInit(&value_);
  if (utf8.empty()) return;
  V_VT(&value_) = VT_BSTR;
  V_BSTR(&value_) = AllocateText(utf8);
}

TextVariant::~TextVariant() {
  if (V_VT(&value_) == VT_BSTR && V_BSTR(&value_) != nullptr)
    SecureZeroMemory(V_BSTR(&value_), SysStringByteLen(V_BSTR(&value_)));
  VariantClear(&value_);
}

std::string ComErrorText(HRESULT result) {
  std::ostringstream code;
  code << "0x" << std::hex << std::setw(8) << std::setfill('0') << static_cast<unsigned long>(result);
  return code.str() + " " + SystemErrorText(static_cast<DWORD>(result));
}

std::string TakeComText(BSTR text) {
  std::string utf8 = text != nullptr ? Narrow(std::wstring_view(text, SysStringLen(text))) : "";
  SysFreeString(text);
  return utf8;
}

}  // namespace norvo::platform
