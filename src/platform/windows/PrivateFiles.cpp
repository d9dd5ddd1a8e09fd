// Files and folders private to the user on Windows: a protected DACL (nothing
// inherited from the folder above) that lets in this user, and beside it only
// who may read every file anyway or must write the dumps here:
// - SYSTEM and the Administrators, who can take any file whatever its DACL;
// - the services (NT SERVICE\ALL SERVICES): SQL Server writes the database
//   dumps into the work folder under its own service account.
// Other users of the computer get nothing. A folder's entries are inherited
// by what is created in it.
#include <windows.h>
// aclapi.h and sddl.h need the types of windows.h first.
#include <aclapi.h>
#include <sddl.h>

#include <array>
#include <vector>

#include "platform/System.h"
#include "platform/windows/WideText.h"

namespace norvo::platform {
namespace {

// The SID of the user this program runs as, in `buffer`; null when unknown.
PSID CurrentUser(std::vector<BYTE>& buffer) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return nullptr;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  buffer.resize(size);
  const BOOL ok = size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
  CloseHandle(token);
  return ok ? reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid : nullptr;
}

struct WellKnown {
  std::array<BYTE, SECURITY_MAX_SID_SIZE> bytes{};
  bool Make(WELL_KNOWN_SID_TYPE type) {
    DWORD size = static_cast<DWORD>(bytes.size());
    return CreateWellKnownSid(type, nullptr, bytes.data(), &size) != 0;
  }
};

}  // namespace

bool MakePrivate(const std::string& path) {
  const std::wstring wide = Widen(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  std::vector<BYTE> user_buffer;
  PSID user = CurrentUser(user_buffer);
  WellKnown system, administrators;
  PSID services = nullptr;
  if (user == nullptr || !system.Make(WinLocalSystemSid) ||
      !administrators.Make(WinBuiltinAdministratorsSid) || !ConvertStringSidToSidW(L"S-1-5-80-0", &services))
    return false;
  std::array<EXPLICIT_ACCESS_W, 4> entries{};
  const std::array<PSID, 4> trustees = {user, system.bytes.data(), administrators.bytes.data(), services};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    entries[i].grfAccessPermissions = FILE_ALL_ACCESS;
    entries[i].grfAccessMode = SET_ACCESS;
    entries[i].grfInheritance = folder ? SUB_CONTAINERS_AND_OBJECTS_INHERIT : NO_INHERITANCE;
    entries[i].Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entries[i].Trustee.TrusteeType = TRUSTEE_IS_UNKNOWN;
    entries[i].Trustee.ptstrName = static_cast<LPWSTR>(trustees[i]);
  }
  PACL acl = nullptr;
  DWORD rc = SetEntriesInAclW(static_cast<ULONG>(entries.size()), entries.data(), nullptr, &acl);
  if (rc == ERROR_SUCCESS) {
    rc = SetNamedSecurityInfoW(const_cast<LPWSTR>(wide.c_str()), SE_FILE_OBJECT,
                               DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                               nullptr, acl, nullptr);
    LocalFree(acl);
  }
  LocalFree(services);
  return rc == ERROR_SUCCESS;
}

}  // namespace norvo::platform
