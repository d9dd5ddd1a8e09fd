#pragma once
// The ODBC connection string of a SQL Server login, built from its parts so
// that no character of a name or password can end a value early.
#include <optional>
#include <string>
#include <string_view>

namespace norvo::run {

// How a driver reads a value in braces.
enum class BraceStyle {
  // The ODBC rule: the value ends at a single "}", and "}}" stands for "}".
  kDoubled,
  // FreeTDS: the value runs verbatim up to the first "}" followed by ";".
  kVerbatim,
};

// The brace style of a driver given by name or library path: verbatim for
// FreeTDS, the ODBC rule for every other driver.
BraceStyle BraceStyleOf(std::string_view driver);

struct OdbcLogin {
  std::string driver;    // a driver name registered with the driver manager, or a library path
  std::string server;    // host, host\instance or host,port
  bool trusted = false;  // the operating system's login instead of user and password
  std::string user;
  std::string password;
};

// A value in braces. Nothing when the style cannot carry it (a FreeTDS
// value holding "};").
std::optional<std::string> OdbcBraced(std::string_view value, BraceStyle style);

// DRIVER, SERVER, then Trusted_Connection=Yes or UID and PWD, then the client
// character set, every value braced and the whole ended by ";". Nothing when
// a value cannot be written for the driver.
std::optional<std::string> OdbcConnectionString(const OdbcLogin& login);

}  // namespace norvo::run
