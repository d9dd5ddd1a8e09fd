#include <gtest/gtest.h>

#include <fstream>

#include "settings/ProviderConfig.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

using namespace norvo::settings;

TEST(ProviderConfig, FileNamedByTheEnvironmentOverridesTheDefaults) {
  TempDir dir;
  std::ofstream(dir / "p.ini") << "; provider of the tests\n[provider]\n"
                               << "service_host = 127.0.0.1:8080\nrar_path=/opt/rar\n"
                               << "ftp_tls = require\nhttp_timeout_s = 5\nunknown_key = kept quiet\n"
                               << "archiver = 7z\narchiver_path = /opt/7zz\narchiver_level = 9\n"
                               << "ftp_retries = 0\nftp_retry_wait_s = 300\nftp_ca_file = /etc/ftp-ca.pem\n"
                               << "ftp_max_kbps = 4000\nftp_limit_hours = 22:00-06:30\n"
                               << "verify_every_runs = 0\nverify_max_mb = 500\nsql_checksum = on\n"
                               << "[other]\nservice_host = ignored\n";
  ScopedEnv env("NORVO_PROVIDER_CONF", dir / "p.ini");
  std::string error;
  auto config = LoadProviderConfig(&error);
  ASSERT_TRUE(config) << error;
  EXPECT_EQ(config->service_host, "127.0.0.1:8080");
  EXPECT_EQ(config->rar_path, "/opt/rar");
  EXPECT_EQ(config->ftp_tls, FtpTls::Require);
  EXPECT_EQ(config->http_timeout_s, 5);
  EXPECT_EQ(config->archiver, ArchiverChoice::SevenZip);
  EXPECT_EQ(config->archiver_path, "/opt/7zz");
  EXPECT_EQ(config->archiver_level, 9);
  EXPECT_EQ(config->ftp_retries, 0);
  EXPECT_EQ(config->ftp_retry_wait_s, 300);
  EXPECT_EQ(config->ftp_ca_file, "/etc/ftp-ca.pem");
  EXPECT_EQ(config->ftp_max_kbps, 4000);
  EXPECT_EQ(config->ftp_limit_hours.from_minute, 22 * 60);
  EXPECT_EQ(config->ftp_limit_hours.to_minute, 6 * 60 + 30);
  EXPECT_EQ(config->verify_every_runs, 0);
  EXPECT_EQ(config->verify_max_mb, 500);
  EXPECT_TRUE(config->sql_checksum);
  EXPECT_EQ(config->ftp_timeout_s, ProviderConfig{}.ftp_timeout_s);
  EXPECT_EQ(config->smtp_password, "kfw5174");
  EXPECT_EQ(config->source_file, dir / "p.ini");
}

TEST(ProviderConfig, BadValuesAreRefused) {
  TempDir dir;
  std::ofstream(dir / "p.ini") << "[provider]\nftp_tls = yes\n";
  std::ofstream(dir / "q.ini") << "[provider]\nhttp_timeout_s = soon\n";
  std::ofstream(dir / "s.ini") << "[provider]\narchiver = zip\n";
  std::ofstream(dir / "t.ini") << "[provider]\narchiver_level = 10\n";
  std::ofstream(dir / "u.ini") << "[provider]\nftp_retries = 21\n";
  std::ofstream(dir / "v.ini") << "[provider]\nftp_retry_wait_s = 0\n";
  std::string error;
  EXPECT_FALSE(LoadProviderConfigFrom(dir / "p.ini", &error));
  EXPECT_NE(error.find("ftp_tls"), std::string::npos) << error;
  EXPECT_FALSE(LoadProviderConfigFrom(dir / "q.ini", &error));
  EXPECT_NE(error.find("http_timeout_s"), std::string::npos) << error;
  EXPECT_FALSE(LoadProviderConfigFrom(dir / "s.ini", &error));
  EXPECT_NE(error.find("archiver must be auto, rar or 7z"), std::string::npos) << error;
  EXPECT_FALSE(LoadProviderConfigFrom(dir / "t.ini", &error));
  EXPECT_NE(error.find("archiver_level"), std::string::npos) << error;
  EXPECT_FALSE(LoadProviderConfigFrom(dir / "u.ini", &error));
  EXPECT_NE(error.find("ftp_retries must be a number from 0 to 20"), std::string::npos) << error;
  EXPECT_FALSE(LoadProviderConfigFrom(dir / "v.ini", &error));
  EXPECT_NE(error.find("ftp_retry_wait_s"), std::string::npos) << error;
  for (const char* bad : {"ftp_max_kbps = 10000001", "ftp_max_kbps = -1", "ftp_limit_hours = 8-19",
                          "ftp_limit_hours = 08:00-08:00", "ftp_limit_hours = 24:00-01:00",
                          "verify_every_runs = -1", "verify_max_mb = 0", "sql_checksum = yes"}) {
    std::ofstream(dir / "w.ini") << "[provider]\n" << bad << "\n";
    EXPECT_FALSE(LoadProviderConfigFrom(dir / "w.ini", &error)) << bad;
    EXPECT_NE(error.find(std::string(bad).substr(0, std::string(bad).find(" "))), std::string::npos) << error;
  }
  EXPECT_FALSE(LoadProviderConfigFrom(dir / "missing.ini", &error));
  EXPECT_NE(error.find("cannot be opened"), std::string::npos) << error;
}

TEST(HoursWindow, SpansOfTheDayAndPastMidnight) {
  const HoursWindow office = *ParseHoursWindow("08:00-19:00");
  EXPECT_TRUE(office.Contains(8 * 60));
  EXPECT_FALSE(office.Contains(19 * 60));
  EXPECT_FALSE(office.Contains(7 * 60 + 59));
  const HoursWindow night = *ParseHoursWindow("22:00-06:00");
  EXPECT_TRUE(night.Contains(23 * 60));
  EXPECT_TRUE(night.Contains(5 * 60 + 59));
  EXPECT_FALSE(night.Contains(12 * 60));
  EXPECT_TRUE(ParseHoursWindow("")->Contains(12 * 60));
}

#ifndef _WIN32
// inih checks every line and says which; the Windows reader tells no lines
// and passes over the lines it does not understand.
TEST(ProviderConfig, RefusalsNameTheLine) {
  TempDir dir;
  std::ofstream(dir / "p.ini") << "[provider]\nftp_tls = yes\n";
  std::ofstream(dir / "r.ini") << "[provider]\nthis line has no equals sign\n";
  std::string error;
  EXPECT_FALSE(LoadProviderConfigFrom(dir / "p.ini", &error));
  EXPECT_NE(error.find("p.ini:2"), std::string::npos) << error;
  EXPECT_FALSE(LoadProviderConfigFrom(dir / "r.ini", &error));
  EXPECT_NE(error.find("r.ini:2"), std::string::npos) << error;
}
#endif

}  // namespace
}  // namespace norvo::test
