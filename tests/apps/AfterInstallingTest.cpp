// The README's "After installing", followed literally: its marked shell
// blocks run in order, as a new user pastes them, against the test servers
// (the account-service stand-in, pyftpdlib, the SQL Server stand-in) with
// 7-Zip packing, and end with a run of Norvo_T that must succeed. The README
// and this test cannot drift apart: the commands come from the README.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "peers/AccountServicePeer.h"
#include "peers/FtpPeer.h"
#include "peers/TdsPeer.h"
#include "run/Transfer.h"
#include "support/Programs.h"

namespace norvo::test {
namespace {

using ::testing::HasSubstr;

constexpr std::string_view kMarker = "<!-- after-installing: run -->";

// The shell blocks that follow the marker, in order, without the list's indent.
std::string ReadmeCommands() {
  std::istringstream readme(ReadFile(NORVO_SOURCE_DIR "/README.md"));
  std::string script;
  bool marked = false;
  bool inside = false;
  std::size_t indent = 0;
  for (std::string line; std::getline(readme, line);) {
    const std::size_t start = std::min(line.find_first_not_of(' '), line.size());
    const std::string_view text = std::string_view(line).substr(start);
    if (inside && text == "```") {
      inside = false;
    } else if (inside) {
      script += line.substr(std::min(start, indent)) + "\n";
    } else if (text == kMarker) {
      marked = true;
    } else if (marked && text == "```sh") {
      marked = false;
      inside = true;
      indent = start;
    }
  }
  return script;
}

TEST(AfterInstalling, TheReadmesCommandsGiveAWorkingBackup) {
  TempDir dir;
  const std::string home = dir / "home";
  std::filesystem::create_directories(home + "/Documentos/2024");
  WriteFile(home + "/Documentos/ventas.xls", "enero;1200");
  WriteFile(home + "/Documentos/2024/compras.xls", "febrero;900");
  WriteFile(home + "/Documentos/notas.txt", "no se respalda");
  AccountServicePeer service(dir.path().string());
  FtpPeer cloud;
  TdsPeer server(
      dir / "",
      R"({"user": "respaldo", "password": "clave de SQL", "databases": [[1, "master"], [5, "Ventas"]]})");
  ASSERT_TRUE(cloud.Started() && server.Started());
  std::filesystem::create_directories(cloud.Root() + "/clientes");
  service.Configure({{"tipo3", "Oficina;" + cloud.Address() + ";test;secret;/clientes/"}});
  WriteFile(dir / "provider.ini", "[provider]\nservice_host = " + service.host() + "\nhttp_timeout_s = 5\n");

  const std::string script = ReadmeCommands();
  ASSERT_THAT(script, HasSubstr("norvo-settings set-customer")) << "the README's blocks are marked";
  // The user's own store and crontab; Norvo_T and norvo-settings on PATH as
  // the package puts them; the SQL Server's port as FreeTDS takes it.
  const ProgramRun run = RunProgram({"/usr/bin/env", "-u", "NORVO_REGISTRY", "-u", "XDG_CONFIG_HOME",
                                     "/bin/sh", "-e", "-c", "exec >&2\n" + script},
                                    {{"HOME", home},
                                     {"PATH", std::string(NORVO_BIN_DIR) + ":/usr/bin:/bin"},
                                     {"NORVO_PROVIDER_CONF", dir / "provider.ini"},
                                     {"NORVO_CRONTAB", PeerPath("crontab_standin.sh")},
                                     {"CRONTAB_STANDIN_DIR", dir.path().string()},
                                     {"TDSPORT", std::to_string(server.Port())}});
  EXPECT_EQ(run.exit_code, 0) << script << "\n" << run.err;

  EXPECT_THAT(run.err, HasSubstr("5 - Ventas"));
  EXPECT_THAT(run.err, HasSubstr("check: no problem found"));
  EXPECT_THAT(ReadFile(dir / "calls"), HasSubstr("-\n")) << "the crontab was written";
  const std::string computer = cloud.Root() + "/clientes/12345/" + run::GetMachineName() + "/";
  for (const char* copy : {"ARC1C001.RAR", "BD05C001.RAR"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(computer + copy)) << copy << "\n" << run.err;
  }
  const Extracted files = ExtractWith7zz(computer + "ARC1C001.RAR", "clave de los respaldos");
  EXPECT_EQ(files.files, (std::map<std::string, std::string>{{"2024/compras.xls", "febrero;900"},
                                                             {"ventas.xls", "enero;1200"}}))
      << files.said;
}

}  // namespace
}  // namespace norvo::test
