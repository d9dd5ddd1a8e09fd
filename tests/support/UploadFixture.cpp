#include "support/UploadFixture.h"

#include <filesystem>

#include "run/Transfer.h"
#include "settings/Settings.h"
#include "support/RunSettings.h"

namespace norvo::test {

using settings::WriteSetting;

void UploadFixture::SetUp() {
  pc_ = run::GetMachineName();
  std::filesystem::create_directories(cloudRoot_);
  WriteFile(dir_ / "provider.ini",
            "[provider]\nftp_retries = 1\nftp_retry_wait_s = 1\nservice_host = " + service_.host() +
                "\nrar_path = " + PeerPath("fake_rar") + "\nhttp_timeout_s = 5\nftp_timeout_s = 10\n");
  SeedRunSettings(dir_ / "drive/");
  WriteSetting("Resp_Archivo", "1");
  WriteSetting("Resp_SeguPas", "clave");
  StartCloud();
}

void UploadFixture::StartCloud(FtpPeerOptions options) {
  cloud_.reset();
  options.root = cloudRoot_;
  cloud_ = std::make_unique<FtpPeer>(options);
  ASSERT_TRUE(cloud_->Started());
  Account(cloud_->Address());
}

void UploadFixture::Account(const std::string& host, const std::string& password, const std::string& base) {
  service_.Configure({{"tipo3", "Acme;" + host + ";test;" + password + ";" + base}});
}

ProgramRun UploadFixture::Run(std::map<std::string, std::string> extra) {
  extra.insert({{"NORVO_REGISTRY", dir_ / "registry.db"}, {"NORVO_PROVIDER_CONF", dir_ / "provider.ini"}});
  return RunProgram({ProgramPath("Norvo_T")}, extra);
}

pid_t UploadFixture::StartRun(const std::string& errFile) {
  return StartProgram(
      {ProgramPath("Norvo_T")},
      {{"NORVO_REGISTRY", dir_ / "registry.db"}, {"NORVO_PROVIDER_CONF", dir_ / "provider.ini"}}, errFile);
}

std::string UploadFixture::CloudFolder() const { return cloudRoot_ + "/123/" + pc_ + "/"; }

std::map<std::string, std::uintmax_t> UploadFixture::CloudFiles() const {
  std::map<std::string, std::uintmax_t> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(CloudFolder(), ec)) {
    files[entry.path().filename().string()] = entry.file_size();
  }
  return files;
}

std::string UploadFixture::MemberOf(const std::string& archive, const std::string& member) {
  auto printed = RunProgram({"/bin/sh", "-c", "\"$0\" p -pclave \"$1\" \"$2\" >&2", PeerPath("fake_rar"),
                             CloudFolder() + archive, member},
                            {});
  return printed.err;
}

std::vector<std::string> UploadFixture::Queries(const std::string& tipo) const {
  std::vector<std::string> matching;
  for (const std::string& query : service_.Queries()) {
    if (query.rfind("Tipo=" + tipo + "&", 0) == 0) matching.push_back(query);
  }
  return matching;
}

}  // namespace norvo::test
