// The embedded registry: one SQLite file holding keys and values. Keys and
// value names compare without regard to case (COLLATE NOCASE). WAL and a busy
// time-out let the tray program and a run write at the same moment.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <mutex>
#include <set>

#include "platform/Registry.h"
#include "platform/posix/StorePath.h"

namespace norvo::platform {
namespace {

constexpr int kBusyTimeoutMs = 5000;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS reg_keys("
    " hive INTEGER NOT NULL, path TEXT NOT NULL COLLATE NOCASE,"
    " PRIMARY KEY(hive, path));"
    "CREATE TABLE IF NOT EXISTS reg_values("
    " hive INTEGER NOT NULL, path TEXT NOT NULL COLLATE NOCASE,"
    " name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, data BLOB NOT NULL,"
    " PRIMARY KEY(hive, path, name));";

// A store that cannot be used is reported once per file for the program's life.
void WarnOnce(const std::string& file, const std::string& why) {
  static std::mutex guard;
  static std::set<std::string> warned;
  std::lock_guard<std::mutex> lock(guard);
  if (warned.insert(file).second) {
    std::cerr << "norvo: settings store " << file << " cannot be used: " << why << "\n";
  }
}

bool IsBusy(int rc) { return (rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED; }

// Runs an action until it is not refused for a lock held by another process,
// for at most the busy time-out. The busy handler covers most waits, but
// changing the journal mode and a first write racing another process's
// recovery can be refused at once. The limit is measured on the clock: an
// action may itself have waited the whole busy time-out in the handler, and
// counting only the pauses between tries would retry it for many minutes
// against a writer that keeps its lock.
template <typename Action>
int RetryWhileBusy(Action action) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
  int rc = action();
  while (IsBusy(rc) && std::chrono::steady_clock::now() < deadline) {
    sqlite3_sleep(10);
    rc = action();
  }
  return rc;
}

// One step of a prepared statement, retried while another process holds the lock.
int StepWhenFree(sqlite3_stmt* stmt) {
  return RetryWhileBusy([stmt] {
    sqlite3_reset(stmt);
    return sqlite3_step(stmt);
  });
}

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool ok() const { return stmt_ != nullptr; }
  sqlite3_stmt* get() const { return stmt_; }
  void BindText(int index, std::string_view text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

class SqliteKey final : public RegistryKey {
 public:
  SqliteKey(sqlite3* db, std::string file, RegHive hive, std::string path)
      : db_(db), file_(std::move(file)), hive_(hive), path_(std::move(path)) {}
  ~SqliteKey() override { sqlite3_close_v2(db_); }

  std::optional<RegValue> Query(std::string_view name) override {
    Statement st(db_, "SELECT type, data FROM reg_values WHERE hive=?1 AND path=?2 AND name=?3");
    if (!st.ok()) return Fail("read");
    sqlite3_bind_int64(st.get(), 1, hive_);
    st.BindText(2, path_);
    st.BindText(3, name);
    int rc = StepWhenFree(st.get());
    if (rc == SQLITE_DONE) return std::nullopt;
    if (rc != SQLITE_ROW) return Fail("read");
    RegValue value;
    value.type = static_cast<RegType>(sqlite3_column_int64(st.get(), 0));
    auto bytes = static_cast<const unsigned char*>(sqlite3_column_blob(st.get(), 1));
    int size = sqlite3_column_bytes(st.get(), 1);
    if (bytes != nullptr && size > 0) value.data.assign(bytes, bytes + size);
    return value;
  }

  bool Set(std::string_view name, const RegValue& value) override {
    Statement st(db_,
                 "INSERT INTO reg_values(hive, path, name, type, data) VALUES(?1, ?2, ?3, ?4, ?5)"
                 " ON CONFLICT(hive, path, name) DO UPDATE SET type=excluded.type, data=excluded.data");
    if (!st.ok()) return Fail("write").has_value();
    sqlite3_bind_int64(st.get(), 1, hive_);
    st.BindText(2, path_);
    st.BindText(3, name);
    sqlite3_bind_int64(st.get(), 4, static_cast<sqlite3_int64>(value.type));
    // A zero-length blob must still be a blob, not NULL.
    static const unsigned char kEmpty = 0;
    sqlite3_bind_blob(st.get(), 5, value.data.empty() ? &kEmpty : value.data.data(),
                      static_cast<int>(value.data.size()), SQLITE_TRANSIENT);
    int rc = StepWhenFree(st.get());
    if (rc != SQLITE_DONE) return Fail("write").has_value();
    return true;
  }

  std::vector<std::string> ValueNames() override {
    std::vector<std::string> names;
    Statement st(db_, "SELECT name FROM reg_values WHERE hive=?1 AND path=?2 ORDER BY rowid");
    if (!st.ok()) return names;
    sqlite3_bind_int64(st.get(), 1, hive_);
    st.BindText(2, path_);
    while (sqlite3_step(st.get()) == SQLITE_ROW) {
      auto text = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0));
      names.emplace_back(text ? text : "");
    }
    return names;
  }

 private:
  std::optional<RegValue> Fail(const char* what) {
    WarnOnce(file_, std::string(what) + " failed: " + sqlite3_errmsg(db_));
    return std::nullopt;
  }

  sqlite3* db_;
  std::string file_;
  RegHive hive_;
  std::string path_;
};

sqlite3* OpenStore(const std::string& file, bool create, std::string* error) {
  if (create) {
    std::string why;
    if (!EnsureStoreFolder(file, &why)) {
      if (error) *error = why;
      return nullptr;
    }
    // Create the file ourselves so that it is 0600 from its first byte.
    int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (error) *error = std::strerror(errno);
      return nullptr;
    }
    ::close(fd);
  } else if (::access(file.c_str(), F_OK) != 0) {
    return nullptr;  // no store yet: every key is missing
  }
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    if (error) *error = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close_v2(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  // journal_mode and the schema are written once; later opens only read them.
  char* message = nullptr;
  auto exec = [&](const char* sql) {
    return RetryWhileBusy([&] {
      sqlite3_free(message);
      message = nullptr;
      return sqlite3_exec(db, sql, nullptr, nullptr, &message);
    });
  };
  rc = exec("PRAGMA journal_mode=WAL;");
  if (rc == SQLITE_OK) rc = exec(kSchema);
  if (rc != SQLITE_OK) {
    if (error) *error = message ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    sqlite3_close_v2(db);
    return nullptr;
  }
  return db;
}

bool KeyExists(sqlite3* db, RegHive hive, std::string_view path) {
  Statement st(db, "SELECT 1 FROM reg_keys WHERE hive=?1 AND path=?2");
  if (!st.ok()) return false;
  sqlite3_bind_int64(st.get(), 1, hive);
  st.BindText(2, path);
  return StepWhenFree(st.get()) == SQLITE_ROW;
}

// Registers the key and every key above it, as the Windows create call does.
bool InsertKeyPath(sqlite3* db, RegHive hive, std::string_view path) {
  Statement st(db, "INSERT OR IGNORE INTO reg_keys(hive, path) VALUES(?1, ?2)");
  if (!st.ok()) return false;
  for (size_t end = 0; end != std::string_view::npos;) {
    end = path.find('\\', end == 0 ? 0 : end + 1);
    std::string_view prefix = path.substr(0, end);
    if (prefix.empty()) continue;
    sqlite3_reset(st.get());
    sqlite3_bind_int64(st.get(), 1, hive);
    st.BindText(2, prefix);
    int rc = StepWhenFree(st.get());
    if (rc != SQLITE_DONE) return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<RegistryKey> OpenRegistryKey(RegHive hive, std::string_view path) {
  const std::string file = RegistryStorePath();
  std::string why;
  sqlite3* db = OpenStore(file, false, &why);
  if (db == nullptr) {
    if (!why.empty()) WarnOnce(file, why);
    return nullptr;
  }
  if (!KeyExists(db, hive, path)) {
    sqlite3_close_v2(db);
    return nullptr;
  }
  return std::make_unique<SqliteKey>(db, file, hive, std::string(path));
}

std::unique_ptr<RegistryKey> CreateRegistryKey(RegHive hive, std::string_view path, std::string* error) {
  const std::string file = RegistryStorePath();
  std::string why;
  sqlite3* db = OpenStore(file, true, &why);
  if (db != nullptr && !InsertKeyPath(db, hive, path)) {
    why = sqlite3_errmsg(db);
    sqlite3_close_v2(db);
    db = nullptr;
  }
  if (db == nullptr) {
    WarnOnce(file, why);
    if (error) *error = file + ": " + why;
    return nullptr;
  }
  return std::make_unique<SqliteKey>(db, file, hive, std::string(path));
}

}  // namespace norvo::platform
