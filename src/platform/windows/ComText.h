#pragma once
// What the COM interfaces of the system take: COM itself for the calling
// thread, and text as BSTR or as a VARIANT holding one. Each is freed with
// its object, on every path.
#include <windows.h>
// oleauto.h needs the types of windows.h first.
#include <oleauto.h>

#include <string>

namespace norvo::platform {

// COM for this thread for the life of the object. A thread that already has
// it in the other threading model (a window thread of Qt) keeps it as it is.
class ComScope {
 public:
  ComScope();
  ~ComScope();
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  // S_OK when COM can be used on this thread, else why not.
  HRESULT Status() const { return usable_ ? S_OK : result_; }

 private:
  HRESULT result_;
  bool usable_;
};

// UTF-8 text as a BSTR.
class ComText {
 public:
  explicit ComText(const std::string& utf8);
  ~ComText() { SysFreeString(text_); }
  ComText(const ComText&) = delete;
  ComText& operator=(const ComText&) = delete;
  BSTR get() const { return text_; }

 private:
  BSTR text_;
};

// A VARIANT with UTF-8 text as its BSTR, or empty (VT_EMPTY) for empty text,
// which is how the interfaces are told "none". The text is wiped before it is
// freed: it may be a password.
class TextVariant {
 public:
  explicit TextVariant(const std::string& utf8 = "");
  ~TextVariant();
  TextVariant(const TextVariant&) = delete;
  TextVariant& operator=(const TextVariant&) = delete;
  const VARIANT& get() const { return value_; }

 private:
  VARIANT value_;
};

// The text of a failed COM call: its code in hex and the system's words.
std::string ComErrorText(HRESULT result);

// UTF-16 text that a COM call handed over (nothing for null) as UTF-8; the
// BSTR is freed.
std::string TakeComText(BSTR text);

}  // namespace norvo::platform
