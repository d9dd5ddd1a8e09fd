// UploadToCloud against the pyftpdlib stand-in: the commands that reach the
// server, what the computer's folder holds afterwards, and every failure text.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include "peers/FtpPeer.h"
#include "run/CloudUpload.h"

namespace norvo::test {
namespace {

using namespace norvo::run;

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

class CloudUploadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(local_);
    options_.pause = std::chrono::milliseconds(0);
    options_.session.timeout_s = 10;
    options_.retry.retry_wait = std::chrono::milliseconds(10);
  }

  void StartServer(FtpPeerOptions options = {}) {
    options.command_log = dir_ / "commands.log";
    server_ = std::make_unique<FtpPeer>(options);
    ASSERT_TRUE(server_->Started());
    std::filesystem::create_directories(server_->Root() + "/base");
  }

  std::string Upload(const std::string& name, const std::string& customer = "/base/123/",
                     const std::string& password = "secret") {
    return UploadToCloud(options_, server_->Address(), "test", password, customer + "PC1/", customer,
                         local_ + "/", name);
  }

  std::string Cloud(const std::string& name) const { return server_->Root() + "/base/123/PC1/" + name; }
  void PutInCloud(const std::string& name, const std::string& data) const {
    std::filesystem::create_directories(server_->Root() + "/base/123/PC1");
    WriteFile(Cloud(name), data);
  }
  std::vector<std::string> CloudNames() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(server_->Root() + "/base/123/PC1")) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // The commands that change the server, in the order it received them.
  std::vector<std::string> Changes() const {
    std::vector<std::string> changes;
    std::ifstream log(dir_ / "commands.log");
    for (std::string line; std::getline(log, line);) {
      for (const char* verb : {"MKD ", "STOR ", "APPE ", "DELE ", "RNFR ", "RNTO "}) {
        if (line.rfind(verb, 0) == 0) changes.push_back(line);
      }
    }
    return changes;
  }

  TempDir dir_;
  std::string local_ = dir_ / "work";
  std::unique_ptr<FtpPeer> server_;
  CloudUploadOptions options_;
};

TEST_F(CloudUploadTest, FirstUploadMakesTheFoldersAndStoresTheFileUnderItsFinalName) {
  EXPECT_EQ(TemporaryName("BD05C001.RAR"), "BD05C001.TMP");
  EXPECT_EQ(TemporaryName("BD123C012.RAR"), "BD123C012.TMP");
  StartServer();
  WriteFile(local_ + "/ARC1C001.RAR", std::string(300000, 'x') + "end");
  EXPECT_EQ(Upload("ARC1C001.RAR"), "OK");
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.RAR")), std::string(300000, 'x') + "end");
  EXPECT_THAT(CloudNames(), ElementsAre("ARC1C001.RAR"));
  const std::string folder = "/base/123/PC1/";
  // A temporary file of an earlier run would block the slot: it goes first.
  EXPECT_THAT(Changes(), ElementsAre("MKD /base/123/", "MKD " + folder, "DELE " + folder + "ARC1C001.TMP",
                                     "STOR " + folder + "ARC1C001.TMP", "RNFR " + folder + "ARC1C001.TMP",
                                     "RNTO " + folder + "ARC1C001.RAR"));
  // The folders exist now: making them again is no error. An empty archive is a file too.
  WriteFile(local_ + "/ARA2C001.RAR", "");
  EXPECT_EQ(Upload("ARA2C001.RAR"), "OK");
  EXPECT_THAT(CloudNames(), ElementsAre("ARA2C001.RAR", "ARC1C001.RAR"));
  EXPECT_EQ(std::filesystem::file_size(Cloud("ARA2C001.RAR")), 0u);
}

TEST_F(CloudUploadTest, SlotCopyIsReplacedOnlyOnceTheNewFileIsWhole) {
  StartServer();
  PutInCloud("ARC1C001.RAR", "slot one");
  PutInCloud("ARC1C002.RAR", "old slot two");
  WriteFile(local_ + "/ARC1C002.RAR", "new slot two");
  EXPECT_EQ(Upload("ARC1C002.RAR"), "OK");
  EXPECT_EQ(ReadFile(Cloud("ARC1C002.RAR")), "new slot two");
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.RAR")), "slot one");
  EXPECT_THAT(CloudNames(), ElementsAre("ARC1C001.RAR", "ARC1C002.RAR"));
  const std::string folder = "/base/123/PC1/";
  // The server replaces on rename: the slot's name never goes without a copy.
  EXPECT_THAT(Changes(), ElementsAre(StartsWith("MKD"), StartsWith("MKD"), "DELE " + folder + "ARC1C002.TMP",
                                     "STOR " + folder + "ARC1C002.TMP", "RNFR " + folder + "ARC1C002.TMP",
                                     "RNTO " + folder + "ARC1C002.RAR"));
}

TEST_F(CloudUploadTest, OldCopyGoesOnlyOnceRenamingIsKnownToWork) {
  const std::string folder = "/base/123/PC1/";
  FtpPeerOptions keepsTarget;
  keepsTarget.rename_keeps_target = true;
  StartServer(keepsTarget);
  PutInCloud("ARC1C001.RAR", "old copy");
  WriteFile(local_ + "/ARC1C001.RAR", "new copy");
  EXPECT_EQ(Upload("ARC1C001.RAR"), "OK");
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.RAR")), "new copy");
  EXPECT_THAT(Changes(), ElementsAre(StartsWith("MKD"), StartsWith("MKD"), "DELE " + folder + "ARC1C001.TMP",
                                     "STOR " + folder + "ARC1C001.TMP", "RNFR " + folder + "ARC1C001.TMP",
                                     "RNTO " + folder + "ARC1C001.RAR", "DELE " + folder + "ARC1C001.RAR",
                                     "RNFR " + folder + "ARC1C001.TMP", "RNTO " + folder + "ARC1C001.RAR"));

  // An account without the right to rename: every run would lose its slot.
  FtpPeerOptions noRename;
  noRename.no_rename = true;
  std::filesystem::remove(dir_ / "commands.log");
  StartServer(noRename);
  PutInCloud("ARC1C001.RAR", "old copy");
  EXPECT_EQ(Upload("ARC1C001.RAR"), "Problema no se pudo renombrar ARC1C001.TMP");
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.RAR")), "old copy");
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.TMP")), "new copy");
  EXPECT_THAT(Changes(), Not(Contains("DELE " + folder + "ARC1C001.RAR")));

  // The rename's connection cannot enter the folder: nothing is touched.
  std::filesystem::remove(dir_ / "commands.log");
  StartServer(With(&FtpPeerOptions::refuse_once, std::vector<std::string>{"CWD#2"}));
  PutInCloud("ARC1C001.RAR", "old copy");
  EXPECT_EQ(Upload("ARC1C001.RAR"), "Problema no se pudo renombrar ARC1C001.TMP");
  EXPECT_THAT(Changes(), Not(Contains(StartsWith("RNFR"))));
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.RAR")), "old copy");
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.TMP")), "new copy");
}

TEST_F(CloudUploadTest, ListingWithoutEndKeepsTheOldCopy) {
  FtpPeerOptions hostile;
  hostile.flood = "LISTING";
  StartServer(hostile);
  WriteFile(local_ + "/ARC1C001.RAR", "new copy");
  std::vector<std::string> said;
  options_.diagnostic = [&said](const std::string& line) { said.push_back(line); };
  EXPECT_EQ(Upload("ARC1C001.RAR"), "Problema no se pudo copiar el archivo ARC1C001.RAR");
  EXPECT_THAT(said, ElementsAre("the size of ARC1C001.TMP on the server could not be checked: The server "
                                "response could not be parsed: it was larger than the client accepts"));
  EXPECT_THAT(Changes(), Not(Contains(StartsWith("RNFR"))));
  EXPECT_THAT(Changes(), Not(Contains("DELE /base/123/PC1/ARC1C001.RAR")));
}

TEST_F(CloudUploadTest, RefusedLogOnAndServerDownAreNoConnection) {
  StartServer();
  WriteFile(local_ + "/ARC1C001.RAR", "data");
  EXPECT_EQ(Upload("ARC1C001.RAR", "/base/123/", "wrong"), "No se puede conectar al Cloud");
  EXPECT_THAT(Changes(), IsEmpty());
  server_->Kill();
  EXPECT_EQ(Upload("ARC1C001.RAR"), "No se puede conectar al Cloud");
}

TEST_F(CloudUploadTest, ComputerFolderThatCannotBeEnteredStopsBeforeTheUpload) {
  StartServer();
  WriteFile(local_ + "/ARC1C001.RAR", "data");
  // Only the last two folders are made: under a missing base they cannot be.
  EXPECT_EQ(Upload("ARC1C001.RAR", "/missing/123/"), "Problema al ingresar al directorio /missing/123/PC1/");
  EXPECT_THAT(Changes(), Not(Contains(StartsWith("STOR"))));
}

TEST_F(CloudUploadTest, MissingLocalArchiveTouchesNoRemoteFile) {
  StartServer();
  PutInCloud("ARC1C003.RAR", "old copy");
  EXPECT_EQ(Upload("ARC1C003.RAR"), "Problema no se pudo copiar el archivo ARC1C003.RAR");
  std::filesystem::create_directories(local_ + "/ARC1C002.RAR");
  EXPECT_EQ(Upload("ARC1C002.RAR"), "Problema no se pudo copiar el archivo ARC1C002.RAR");
  EXPECT_EQ(ReadFile(Cloud("ARC1C003.RAR")), "old copy");
  EXPECT_THAT(Changes(),
              ElementsAre(StartsWith("MKD"), StartsWith("MKD"), StartsWith("MKD"), StartsWith("MKD")));
}

TEST_F(CloudUploadTest, ServerThatLosesBytesKeepsTheOldCopy) {
  FtpPeerOptions losing = With(&FtpPeerOptions::truncate_received, 1);
  losing.digests = "none";  // the size check finds it
  StartServer(losing);
  PutInCloud("ARC1C001.RAR", "old copy");
  WriteFile(local_ + "/ARC1C001.RAR", "a new copy that the server shortens");
  EXPECT_EQ(Upload("ARC1C001.RAR"), "Problema no se pudo copiar el archivo ARC1C001.RAR");
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.RAR")), "old copy");
  EXPECT_THAT(CloudNames(), ElementsAre("ARC1C001.RAR")) << "the short temporary file is removed";
  EXPECT_THAT(Changes(), Not(Contains("DELE /base/123/PC1/ARC1C001.RAR")));
  EXPECT_THAT(Changes(), Not(Contains(StartsWith("RNFR"))));
}

TEST_F(CloudUploadTest, UploadIsProvenByTheServersDigestInEachCommand) {
  for (const std::string kind : {"hash", "x"}) {
    FtpPeerOptions options;
    options.digests = kind;
    StartServer(options);
    std::vector<std::string> diagnostics;
    options_.diagnostic = [&diagnostics](const std::string& line) { diagnostics.push_back(line); };
    WriteFile(local_ + "/ARC1C001.RAR", "new copy");
    EXPECT_EQ(Upload("ARC1C001.RAR"), "OK");
    EXPECT_THAT(diagnostics, IsEmpty());
    std::ifstream log(dir_ / "commands.log");
    const std::string commands{std::istreambuf_iterator<char>(log), {}};
    EXPECT_THAT(commands, ::testing::HasSubstr((kind == "hash" ? "HASH" : "XSHA256") +
                                               std::string(" /base/123/PC1/ARC1C001.TMP")));
  }
}

TEST_F(CloudUploadTest, ServerDigestThatDiffersKeepsTheOldCopy) {
  FtpPeerOptions lying;
  lying.digests = "lie";
  StartServer(lying);
  PutInCloud("ARC1C001.RAR", "old copy");
  std::vector<std::string> diagnostics;
  options_.diagnostic = [&diagnostics](const std::string& line) { diagnostics.push_back(line); };
  WriteFile(local_ + "/ARC1C001.RAR", "new copy");
  EXPECT_EQ(Upload("ARC1C001.RAR"), "Problema no se pudo copiar el archivo ARC1C001.RAR");
  EXPECT_THAT(CloudNames(), ElementsAre("ARC1C001.RAR")) << "the temporary file is removed";
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.RAR")), "old copy");
  EXPECT_THAT(diagnostics, ElementsAre(StartsWith("the SHA-256 digests of ARC1C001.TMP differed")));
}

TEST_F(CloudUploadTest, LogOnRefusedAfterTheFolderCheckNamesTheConnection) {
  StartServer(With(&FtpPeerOptions::max_logins, 1));
  WriteFile(local_ + "/ARC1C001.RAR", "new");
  EXPECT_EQ(Upload("ARC1C001.RAR"), "No se puede conectar al Cloud " + server_->Address());

  StartServer(With(&FtpPeerOptions::max_logins, 2));
  PutInCloud("ARC1C001.RAR", "old copy");
  EXPECT_EQ(Upload("ARC1C001.RAR"), "No se puede conectar al Cloud para renombrar " + server_->Address());
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.RAR")), "old copy");
  // The temporary file stays; the next upload of the slot overwrites it.
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.TMP")), "new");
}

TEST_F(CloudUploadTest, RefusedRenameNamesTheTemporaryFile) {
  StartServer();
  // A folder in the way of the final name: it can be neither deleted nor replaced.
  std::filesystem::create_directories(Cloud("ARC1C001.RAR") + "/inside");
  WriteFile(local_ + "/ARC1C001.RAR", "new");
  std::vector<std::string> diagnostics;
  options_.diagnostic = [&diagnostics](const std::string& line) { diagnostics.push_back(line); };
  EXPECT_EQ(Upload("ARC1C001.RAR"), "Problema no se pudo renombrar ARC1C001.TMP");
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.TMP")), "new");
  // stderr carries the server's reply, code and text.
  EXPECT_THAT(diagnostics, ElementsAre(StartsWith("rename of ARC1C001.TMP to ARC1C001.RAR failed: 550 ")));
}

// A file of a million distinct-enough bytes, and a server that cuts its data
// connections after the byte counts given.
class ResumedUploadTest : public CloudUploadTest {
 protected:
  void StartCutting(FtpPeerOptions options) {
    StartServer(std::move(options));
    PutInCloud("ARC1C001.RAR", "old copy");
    data_.clear();
    for (int i = 0; i < 1000000; ++i) data_ += static_cast<char>(i * 7 % 251);
    WriteFile(local_ + "/ARC1C001.RAR", data_);
    options_.diagnostic = [this](const std::string& line) { said_.push_back(line); };
  }
  long Sent(const std::string& verb) const {
    const std::vector<std::string> changes = Changes();
    return std::count_if(changes.begin(), changes.end(),
                         [&](const std::string& line) { return line.rfind(verb + " ", 0) == 0; });
  }

  std::string data_;
  std::vector<std::string> said_;
};

TEST_F(ResumedUploadTest, BrokenTransferGoesOnFromWhatTheServerHolds) {
  FtpPeerOptions cutting;
  cutting.cut_after = {400000, 400000};
  StartCutting(cutting);
  EXPECT_EQ(Upload("ARC1C001.RAR"), "OK");
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.RAR")), data_) << "proven by the server's digest of the whole file";
  EXPECT_EQ(Sent("STOR"), 1);
  EXPECT_EQ(Sent("APPE"), 2);
  EXPECT_THAT(said_, Contains(AllOf(StartsWith("upload of ARC1C001.RAR as ARC1C001.TMP failed: "),
                                    HasSubstr("(retry 2 of 5)"))));
  EXPECT_THAT(said_, Contains("the server holds 800000 bytes (-1: none) of ARC1C001.TMP; sending from byte "
                              "800000"));
}

TEST_F(ResumedUploadTest, ControlConnectionCutMidTransferIsResumed) {
  FtpPeerOptions cutting;
  cutting.cut_after = {600000};
  cutting.cut_control = true;
  StartCutting(cutting);
  EXPECT_EQ(Upload("ARC1C001.RAR"), "OK");
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.RAR")), data_);
  EXPECT_EQ(Sent("APPE"), 1);
  EXPECT_THAT(said_, Contains(HasSubstr("Connection reset by peer")))
      << "no reply came on the control connection";
}

TEST_F(ResumedUploadTest, TemporaryFileOfAnEarlierRunIsNeverGoneOnFrom) {
  // Its delete and then the first STOR refused for the moment: what the
  // server holds at the retry is not this upload's.
  StartCutting(With(&FtpPeerOptions::refuse_once, std::vector<std::string>{"DELE", "STOR"}));
  PutInCloud("ARC1C001.TMP", std::string(700000, 'x'));
  EXPECT_EQ(Upload("ARC1C001.RAR"), "OK");
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.RAR")), data_);
  EXPECT_EQ(Sent("APPE"), 0);
}

TEST_F(ResumedUploadTest, ServerWithoutRestartsGetsTheFileAgain) {
  FtpPeerOptions cutting;
  cutting.cut_after = {300000};
  cutting.no_rest = true;
  StartCutting(cutting);
  EXPECT_EQ(Upload("ARC1C001.RAR"), "OK");
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.RAR")), data_);
  EXPECT_EQ(Sent("STOR"), 2);
  EXPECT_EQ(Sent("APPE"), 0);
}

TEST_F(ResumedUploadTest, LostFinalReplyGoesStraightToTheCheck) {
  StartCutting(With(&FtpPeerOptions::lose_226, 1));
  options_.session.timeout_s = 2;
  EXPECT_EQ(Upload("ARC1C001.RAR"), "OK");
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.RAR")), data_);
  EXPECT_EQ(Sent("STOR"), 1);
  EXPECT_EQ(Sent("APPE"), 0);
}

TEST_F(ResumedUploadTest, FailingResumeKeepsTheOldCopy) {
  // Breaks past the retries: the last failure is the item's.
  FtpPeerOptions cutting;
  cutting.cut_after = {1000, 1000, 1000};
  StartCutting(cutting);
  options_.retry.retries = 2;
  EXPECT_EQ(Upload("ARC1C001.RAR"), "Problema no se pudo copiar el archivo ARC1C001.RAR");
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.RAR")), "old copy");
  EXPECT_THAT(said_.back(), StartsWith("upload of ARC1C001.RAR as ARC1C001.TMP failed: "));
  EXPECT_THAT(said_.back(), Not(HasSubstr("retry")));

  // A server that restarts wrongly (drops a byte of what is appended).
  said_.clear();
  cutting.cut_after = {5000};
  cutting.truncate_received = 1;
  StartCutting(cutting);
  EXPECT_EQ(Upload("ARC1C001.RAR"), "Problema no se pudo copiar el archivo ARC1C001.RAR");
  EXPECT_EQ(ReadFile(Cloud("ARC1C001.RAR")), "old copy");
  EXPECT_THAT(said_, Contains(StartsWith("the SHA-256 digests of ARC1C001.TMP differed")));
}

}  // namespace
}  // namespace norvo::test
