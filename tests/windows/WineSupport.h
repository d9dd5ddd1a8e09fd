#pragma once
// Helpers of the Windows tests: the peers that wine_test.py starts on the
// Linux side, paths in both forms, a throwaway settings store and programs
// run as processes.
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "support/Files.h"
#include "support/TempDir.h"

namespace norvo::test {

// True when the program runs under Wine rather than on Windows.
bool UnderWine();

// Starts the Windows service `name` and waits until it runs; false when it
// still does not run after `patience`. Right after a new Wine prefix is made,
// the service manager stays busy with its own services for some seconds and
// refuses every start (ERROR_SERVICE_DATABASE_LOCKED): this keeps trying.
bool StartServiceAndWait(const std::wstring& name, std::chrono::seconds patience);

// A path on drive Z: (the Linux side under Wine) in its Linux form.
std::string LinuxPath(const std::string& windows_path);
// A file of the source tree, as a Windows path.
std::string SourcePath(const std::string& relative);
// A program of the build (bin/NAME.exe).
std::string ProgramPath(const std::string& name);

// A stand-in of tests/peers started on the Linux side; ended with the object.
class Peer {
 public:
  Peer(const std::string& script, const std::vector<std::string>& args);
  ~Peer();
  Peer(const Peer&) = delete;
  Peer& operator=(const Peer&) = delete;
  bool Started() const { return id_ > 0; }
  // The first line the peer printed (its port, for most).
  const std::string& FirstLine() const { return first_line_; }
  int Port() const;
  void Kill();

 private:
  int id_ = 0;
  std::string first_line_;
};

// pyftpdlib on a loopback port, serving `root` (a Windows path on Z:) to test:secret.
class FtpServer {
 public:
  explicit FtpServer(const std::string& root, int throttle = 0);
  // With more options of ftp_server.py ("--no-rename", ...).
  FtpServer(const std::string& root, const std::vector<std::string>& options);
  bool Started() const { return peer_.Started() && Port() > 0; }
  int Port() const;
  std::string Address() const { return "127.0.0.1:" + std::to_string(Port()); }
  void Kill() { peer_.Kill(); }

 private:
  Peer peer_;
};

// The account-service stand-in, its configuration and request log in `folder`.
class AccountServiceStandIn {
 public:
  explicit AccountServiceStandIn(const std::string& folder);
  std::string Host() const { return "127.0.0.1:" + std::to_string(peer_->Port()); }
  void Configure(const std::string& json) const { WriteFile(config_, json); }
  // Each request's decoded query as "Tipo=4&CL=123&..." (not escaped).
  std::vector<std::string> Queries() const;

 private:
  std::string config_, log_;
  std::unique_ptr<Peer> peer_;
};

// The settings store moved to a throwaway registry key for the life of the
// object (NORVO_REGISTRY_ROOT), deleted at the end.
class ScopedStore {
 public:
  ScopedStore();
  ~ScopedStore();
  ScopedStore(const ScopedStore&) = delete;
  ScopedStore& operator=(const ScopedStore&) = delete;
  const std::string& Root() const { return root_; }

 private:
  std::string root_;
  std::unique_ptr<ScopedEnv> env_;
};

// Whether the process of that id has ended within the time (or is unknown);
// one still there is killed then, so that no test leaves it behind.
bool ProcessEnds(unsigned long id, int milliseconds);
// Waits (a minute at most) until the file exists and is not empty; its text.
std::string AwaitFile(const std::string& path);

// Runs a program with its standard error in `err_file` and waits for it.
int RunProgram(const std::vector<std::string>& argv, const std::string& err_file);
// Starts it without waiting; Wait collects its exit code.
class StartedProgram {
 public:
  // `flags`: more CreateProcessW flags (CREATE_NEW_PROCESS_GROUP, ...).
  StartedProgram(const std::vector<std::string>& argv, const std::string& err_file, unsigned long flags = 0);
  ~StartedProgram();
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;
  int Wait();
  // Ends it at once, as the task manager would, and waits for it.
  void Kill();
  unsigned long Id() const { return id_; }

 private:
  void* process_ = nullptr;
  unsigned long id_ = 0;
};

}  // namespace norvo::test
