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
  std::ofstream(dir / "u.ini") << "[provider]\nverify_every_runs = -1\n";
  std::ofstream(dir / "v.ini") << "[provider]\nverify_max_mb = 0\n";
  std::ofstream(dir / "w.ini") << "[provider]\nsql_checksum = yes\n";
  std::string error;
  EXPECT_FALSE(LoadProviderConfigFrom(dir / "p.ini", &error));
  EXPECT_NE(error.find("ftp_tls"), std::string::npos) << error;
  EXPECT_FALSE(LoadProviderConfigFrom(dir / "q.ini", &error));
  EXPECT_NE(error.find("http_timeout_s"), std::string::npos) << error;
  EXPECT_FALSE(LoadProviderConfigFrom(dir / "s.ini", &error));
  EXPECT_NE(error.find("archiver must be auto, rar or 7z"), std::string::npos) << error;
  EXPECT_FALSE(LoadProviderConfigFrom(dir / "t.ini", &error));
  EXPECT_NE(error.find("archiver_level"), std::string::npos) << error;
  for (const auto& [file, key] : {std::pair{"u.ini", "verify_every_runs"},
                                  std::pair{"v.ini", "verify_max_mb"}, std::pair{"w.ini", "sql_checksum"}}) {
    EXPECT_FALSE(LoadProviderConfigFrom(dir / file, &error));
    EXPECT_NE(error.find(key), std::string::npos) << error;
  }
  EXPECT_FALSE(LoadProviderConfigFrom(dir / "missing.ini", &error));
  EXPECT_NE(error.find("cannot be opened"), std::string::npos) << error;
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
