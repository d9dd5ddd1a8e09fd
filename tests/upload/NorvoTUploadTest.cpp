// Norvo_T backing files up end to end: copy rotation over four runs, every
// upload failure with its text, and a server that dies in the middle.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "settings/Settings.h"
#include "support/UploadFixture.h"

namespace norvo::test {
namespace {

using settings::ReadSetting;
using settings::WriteSetting;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

class NorvoTUploadTest : public UploadFixture {
 protected:
  // Requests the service received since the last call.
  std::vector<std::string> NewQueries() {
    std::vector<std::string> all = service_.Queries();
    std::vector<std::string> fresh(all.begin() + static_cast<long>(seen_), all.end());
    seen_ = all.size();
    return fresh;
  }
  std::string Item(const std::string& source, const std::string& copy, const std::string& state) const {
    return "Tipo=4&CL=123&NE=" + pc_ + "&TR=AR&RE=" + source + "&CO=" + copy + "&ED=" + state;
  }
  std::string Error(const std::string& text) const {
    return "Tipo=5&CL=123&NO=Acme&NE=" + pc_ + "&ER=" + text;
  }

  std::size_t seen_ = 0;
};

TEST_F(NorvoTUploadTest, FourRunsRotateThreeCopiesOfTwoFileSets) {
  const std::string datos = dir_ / "datos";
  std::filesystem::create_directories(datos);
  WriteFile(datos + "/a.xls", "A");
  WriteFile(datos + "/b.xls", "B");
  WriteSetting("Resp_ArchRuta", datos);
  WriteSetting("Resp_ArchTipo", "C");
  WriteSetting("Resp_ArchFil", "*.xls");
  WriteSetting("Resp_ArchRuta2", datos + "/");
  WriteSetting("Resp_ArchTipo2", "A");
  WriteSetting("Resp_ArchNom2", "nota.txt");
  WriteSetting("Resp_ProgMail", "jefe@acme.example");
  const int slots[] = {1, 2, 3, 1};
  for (int run = 1; run <= 4; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    const std::string slot = "C00" + std::to_string(slots[run - 1]) + ".RAR";
    WriteFile(datos + "/nota.txt", "nota " + std::to_string(run));
    const bool notice = run != 4;  // the success notice only when asked for
    WriteSetting("Resp_ProgEnv", notice ? "1" : "0");
    auto result = Run();
    ASSERT_EQ(result.exit_code, 0) << result.err;
    std::vector<std::string> expected = {"Tipo=3&Clave=MTIz", Item(datos + "/*.xls", "ARC1" + slot, "Y"),
                                         Item(datos + "/nota.txt", "ARA2" + slot, "Y")};
    if (notice) expected.push_back("Tipo=7&CL=123&MA=jefe@acme.example&NE=" + pc_);
    EXPECT_THAT(NewQueries(), ElementsAreArray(expected)) << result.err;
    EXPECT_EQ(ReadSetting("Resp_RespUCopia"), std::to_string(slots[run - 1]));
    EXPECT_THAT(ReadSetting("Resp_RespFecha"), SizeIs(16));
  }
  std::vector<std::string> names;
  for (const auto& [name, size] : CloudFiles()) names.push_back(name);
  EXPECT_THAT(names, ElementsAre("ARA2C001.RAR", "ARA2C002.RAR", "ARA2C003.RAR", "ARC1C001.RAR",
                                 "ARC1C002.RAR", "ARC1C003.RAR"));
  // The fourth run replaced slot 1 and left slots 2 and 3 alone.
  EXPECT_EQ(MemberOf("ARA2C001.RAR", "nota.txt"), "nota 4");
  EXPECT_EQ(MemberOf("ARA2C002.RAR", "nota.txt"), "nota 2");
  EXPECT_EQ(MemberOf("ARA2C003.RAR", "nota.txt"), "nota 3");
  EXPECT_EQ(MemberOf("ARC1C001.RAR", "b.xls"), "B");
  EXPECT_FALSE(std::filesystem::exists(work_ + "ARA2C001.RAR")) << "no local copy is kept";
}

TEST_F(NorvoTUploadTest, UploadFailuresAreReportedWithTheirTextsAndStateN) {
  const std::string datos = dir_ / "datos";
  std::filesystem::create_directories(datos);
  WriteFile(datos + "/a.xls", "A");
  WriteSetting("Resp_ArchRuta", datos);
  WriteSetting("Resp_ArchTipo", "C");
  WriteSetting("Resp_ArchFil", "*.xls");
  WriteSetting("Resp_ProgEnv", "1");
  WriteSetting("Resp_ProgCopias", "1");
  auto expectRun = [&](const std::vector<std::string>& errors) {
    const std::string item = Item(datos + "/" + ReadSetting("Resp_ArchFil"), "ARC1C001.RAR", "N");
    auto result = Run();
    EXPECT_EQ(result.exit_code, 2) << "the item did not reach the cloud: " << result.err;
    std::vector<std::string> expected = {"Tipo=3&Clave=MTIz", item};
    for (const std::string& text : errors) expected.push_back(Error(text));
    EXPECT_THAT(NewQueries(), ElementsAreArray(expected)) << result.err;
  };
  {
    SCOPED_TRACE("log-on refused");
    Account(cloud_->Address(), "wrong");
    expectRun({"No se puede conectar al Cloud"});
  }
  {
    SCOPED_TRACE("folder that cannot be entered");
    Account(cloud_->Address(), "secret", "/missing/");
    expectRun({"Problema al ingresar al directorio /missing/123/" + pc_ + "/"});
  }
  {
    SCOPED_TRACE("missing local archive");
    Account(cloud_->Address());
    WriteSetting("Resp_ArchFil", "*.doc");
    expectRun({"No existen archivo(s) para comprimir", "Problema no se pudo copiar el archivo ARC1C001.RAR"});
    WriteSetting("Resp_ArchFil", "*.xls");
  }
  {
    SCOPED_TRACE("server down");
    cloud_->Kill();
    expectRun({"No se puede conectar al Cloud"});
  }
  EXPECT_THAT(CloudFiles(), IsEmpty());
}

// The service answers in its code page (Windows-1252): the FTP server gets the
// user, password and base path in those bytes, the company name goes back in
// them, and stderr shows them as text.
TEST_F(NorvoTUploadTest, AccountBytesReachTheServerAndTheReportsAsTheServiceSentThem) {
  FtpPeerOptions account;
  account.users = {"usuario\u00f1:contrase\u00f1a"};
  account.encoding = "cp1252";
  StartCloud(account);
  std::filesystem::create_directories(cloudRoot_ + "/b\u00e4se");
  service_.Configure({{"tipo3", "O\u2019Brien \u20ac Caf\u00e9;" + cloud_->Address() +
                                    ";usuario\u00f1;contrase\u00f1a;/b\u00e4se/"}});
  WriteFile(dir_ / "a.xls", "A");
  WriteSetting("Resp_ArchRuta", dir_.path().string());
  WriteSetting("Resp_ArchTipo", "C");
  WriteSetting("Resp_ArchFil", "*.xls");
  WriteSetting("Resp_ArchRuta2", dir_.path().string());  // a second set with nothing to pack: an error report
  WriteSetting("Resp_ArchFil2", "*.doc");
  auto run = Run();
  EXPECT_EQ(run.exit_code, 2) << run.err;  // the empty set is an error
  EXPECT_TRUE(std::filesystem::exists(cloudRoot_ + "/b\u00e4se/123/" + pc_ + "/ARC1C001.RAR")) << run.err;
  std::vector<std::string> names;
  for (const auto& request : service_.Requests()) {
    const std::string query = request["raw_query"];
    if (query.rfind("Tipo=5&", 0) == 0) names.push_back(query.substr(query.find("&NO=") + 4));
  }
  ASSERT_THAT(names, SizeIs(2));  // the archive of the second set, and its upload
  for (const std::string& name : names) EXPECT_EQ(name.substr(0, name.find('&')), "O%92Brien%20%80%20Caf%E9");
  EXPECT_THAT(run.err, HasSubstr("account of O\u2019Brien \u20ac Caf\u00e9\n"));
}

TEST_F(NorvoTUploadTest, ServerKilledMidUploadKeepsTheOldCopyAndTheNextRunSucceeds) {
  WriteSetting("Resp_ProgCopias", "1");  // every run uses slot 1
  WriteSetting("Resp_ArchRuta", dir_.path().string() + "/");
  WriteSetting("Resp_ArchTipo", "A");
  WriteSetting("Resp_ArchNom", "datos.bin");
  const std::string data = dir_ / "datos.bin";
  StartCloud(With(&FtpPeerOptions::throttle, 256 * 1024));
  WriteFile(data, "first copy");
  ASSERT_EQ(Run().exit_code, 0);
  const std::string archive = CloudFolder() + "ARA1C001.RAR";
  const std::string oldCopy = ReadFile(archive);
  ASSERT_EQ(MemberOf("ARA1C001.RAR", "datos.bin"), "first copy");
  NewQueries();

  std::string big(4 << 20, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7919 % 251);
  WriteFile(data, big);
  pid_t run = StartRun(dir_ / "run.err");
  const std::string temporary = CloudFolder() + "ARA1C001.TMP";
  auto uploaded = [&] {
    std::error_code ec;
    const auto size = std::filesystem::file_size(temporary, ec);
    return ec ? 0 : size;
  };
  for (int i = 0; i < 400 && uploaded() < 100000; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_GE(uploaded(), 100000u) << "the upload never started";
  cloud_->Kill();
  EXPECT_EQ(WaitProgram(run), 2) << ReadFile(dir_ / "run.err");
  EXPECT_EQ(ReadFile(archive), oldCopy) << "the old copy of the slot is intact";
  EXPECT_THAT(NewQueries(), ElementsAre("Tipo=3&Clave=MTIz", Item(data, "ARA1C001.RAR", "N"),
                                        Error("Problema no se pudo copiar el archivo ARA1C001.RAR")));

  StartCloud();
  auto next = Run();
  EXPECT_EQ(next.exit_code, 0) << next.err;
  EXPECT_THAT(NewQueries(), ElementsAre("Tipo=3&Clave=MTIz", Item(data, "ARA1C001.RAR", "Y")));
  EXPECT_EQ(MemberOf("ARA1C001.RAR", "datos.bin"), big);
  EXPECT_THAT(CloudFiles(),
              ElementsAre(::testing::Pair("ARA1C001.RAR", std::filesystem::file_size(archive))));
}

}  // namespace
}  // namespace norvo::test
