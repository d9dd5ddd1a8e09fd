#pragma once
// Norvo_T backing files up as a process: its own settings store and provider
// file, the account-service stand-in, the RAR stand-in and a pyftpdlib cloud
// whose folder survives a restart of the server.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "peers/AccountServicePeer.h"
#include "peers/FtpPeer.h"
#include "support/Programs.h"

namespace norvo::test {

class UploadFixture : public ::testing::Test {
 protected:
  void SetUp() override;

  // (Re)starts the cloud on the same folder and points the account at it.
  void StartCloud(FtpPeerOptions options = {});
  // The account reply with this FTP host, password and base path.
  void Account(const std::string& host, const std::string& password = "secret",
               const std::string& base = "/");
  ProgramRun Run(std::map<std::string, std::string> extra = {});
  // Starts a run without waiting; stderr goes to the file.
  pid_t StartRun(const std::string& errFile);

  // The computer's folder in the cloud, and the names and sizes it holds.
  std::string CloudFolder() const;
  std::map<std::string, std::uintmax_t> CloudFiles() const;
  // A member of an archive in the cloud, as the RAR stand-in prints it.
  std::string MemberOf(const std::string& archive, const std::string& member);
  // The account-service requests of one type, decoded.
  std::vector<std::string> Queries(const std::string& tipo) const;

  TempDir dir_;
  ScopedEnv registry_{"NORVO_REGISTRY", dir_ / "registry.db"};
  AccountServicePeer service_{dir_.path().string()};
  std::unique_ptr<FtpPeer> cloud_;
  std::string cloudRoot_ = dir_ / "cloud";
  std::string work_ = dir_ / "drive/TEMP_Norvo/";
  std::string pc_;
};

}  // namespace norvo::test
