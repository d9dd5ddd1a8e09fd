#include "FaultSupport.h"

#include <sys/stat.h>

#include <filesystem>

#include "run/Transfer.h"
#include "settings/Settings.h"
#include "support/RunSettings.h"

namespace norvo::test {

void NorvoTFaultTest::SetUp() {
  ASSERT_TRUE(ftp_.Started());
  pc_ = run::GetMachineName();
  std::filesystem::create_directories(dir_ / "data");
  WriteFile(dir_ / "data/libro.xls", SizeableContent());
  UseRar(PeerPath("fake_rar"));
  accountReply_ = "Acme;" + ftp_.Address() + ";test;secret;/base/";
  service_.Configure({{"tipo3", accountReply_}});
  using settings::WriteSetting;
  SeedRunSettings(dir_ / "drive/");
  WriteSetting("Resp_RespUCopia", "3");
  WriteSetting("Resp_Archivo", "1");
  WriteSetting("Resp_ProgRespLoc", "1");
  WriteSetting("Resp_ArchRuta", dir_ / "data");
  WriteSetting("Resp_ArchTipo", "C");
  WriteSetting("Resp_ArchFil", "*.xls");
  WriteSetting("Resp_ArchSub", "0");
  // The copy that this run's slot (1) would replace.
  std::filesystem::create_directories(std::filesystem::path(ServerCopyPath()).parent_path());
  WriteFile(ServerCopyPath(), "the good copy of an earlier run");
}

void NorvoTFaultTest::UseRar(const std::string& tool) {
  WriteFile(dir_ / "provider.ini",
            "[provider]\nftp_retries = 1\nftp_retry_wait_s = 1\nservice_host = " + service_.host() +
                "\nrar_path = " + tool + "\nhttp_timeout_s = 2\nftp_timeout_s = 3\n");
}

void NorvoTFaultTest::UseSevenZip(const std::string& program) {
  WriteFile(dir_ / "provider.ini",
            "[provider]\nftp_retries = 1\nftp_retry_wait_s = 1\nservice_host = " + service_.host() +
                "\narchiver = 7z\narchiver_path = " + program + "\nhttp_timeout_s = 2\nftp_timeout_s = 3\n");
}

std::string NorvoTFaultTest::Wrapped(const std::string& program, const std::string& settings) {
  const std::string wrapper = dir_ / "archiver-wrapper";
  WriteFile(wrapper, "#!/bin/sh\n" + settings + " exec '" + program + "' \"$@\"\n");
  ::chmod(wrapper.c_str(), 0755);
  return wrapper;
}

ProgramRun NorvoTFaultTest::Run(std::map<std::string, std::string> extra) {
  extra.emplace("NORVO_REGISTRY", dir_ / "registry.db");
  extra.emplace("NORVO_PROVIDER_CONF", dir_ / "provider.ini");
  extra.emplace("FAKE_RAR_LOG", dir_ / "rar.log");
  return RunProgram({ProgramPath("Norvo_T")}, extra);
}

std::string NorvoTFaultTest::ServerCopyPath() const {
  return ftp_.Root() + "/base/123/" + pc_ + "/ARC1C001.RAR";
}

std::string NorvoTFaultTest::ServerCopy() const { return ReadFile(ServerCopyPath()); }

std::vector<std::string> NorvoTFaultTest::Requests(const std::string& tipo) const {
  std::vector<std::string> found;
  for (const auto& query : service_.Queries()) {
    if (query.rfind("Tipo=" + tipo + "&", 0) == 0) found.push_back(query);
  }
  return found;
}

std::string SizeableContent() {
  std::string text;
  for (int i = 0; text.size() < 200 * 1024; ++i) text += "fila " + std::to_string(i * 7919 % 100003) + ";";
  return text;
}

}  // namespace norvo::test
