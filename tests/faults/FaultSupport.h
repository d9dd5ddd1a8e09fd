#pragma once
// Shared set-up of the fault tests: a peer program that prints its port on
// its first line, and Norvo_T as a process with its own settings store,
// provider configuration, account-service stand-in, RAR stand-in and an FTP
// server that already holds the copy a run would replace.
#include <gtest/gtest.h>
#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "peers/AccountServicePeer.h"
#include "peers/FtpPeer.h"
#include "support/PeerProcess.h"
#include "support/Programs.h"

namespace norvo::test {

class NorvoTFaultTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Rewrites the provider configuration with this archiver.
  void UseRar(const std::string& tool);
  // ... with 7-Zip as the archiver, run as this program.
  void UseSevenZip(const std::string& program);
  // A script that runs the program with these environment settings.
  std::string Wrapped(const std::string& program, const std::string& settings);
  ProgramRun Run(std::map<std::string, std::string> extra = {});
  // The copy of file set 1 in slot 1 as the cloud holds it.
  std::string ServerCopy() const;
  std::string ServerCopyPath() const;
  // The decoded queries of every request with that Tipo.
  std::vector<std::string> Requests(const std::string& tipo) const;

  TempDir dir_;
  ScopedEnv registry_{"NORVO_REGISTRY", dir_ / "registry.db"};
  AccountServicePeer service_{dir_.path().string()};
  FtpPeer ftp_;
  std::string work_ = dir_ / "drive/TEMP_Norvo/";
  std::string pc_;
  std::string accountReply_;
};

// Text of a file that is 200 KB of varied bytes, more than one write's worth.
std::string SizeableContent();

}  // namespace norvo::test
