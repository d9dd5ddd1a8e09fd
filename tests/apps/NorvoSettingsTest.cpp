// norvo-settings as a process: what an administrator and the demo rely on.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "settings/Base64.h"
#include "settings/Settings.h"
#include "support/Files.h"
#include "support/Programs.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

struct Outcome {
  int exit_code;
  std::string output;  // stdout and stderr together
};

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

Outcome Tool(const std::vector<std::string>& args) {
  std::string line = Quote(ProgramPath("norvo-settings"));
  for (const auto& arg : args) line += " " + Quote(arg);
  FILE* pipe = ::popen((line + " 2>&1").c_str(), "r");
  std::string output;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) output.append(buffer, n);
  int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

class NorvoSettings : public ::testing::Test {
 protected:
  TempDir dir;
  ScopedEnv env{"NORVO_REGISTRY", dir / "registry.db"};
};

TEST_F(NorvoSettings, SetGetAndListShareTheStoreWithThePrograms) {
  EXPECT_EQ(Tool({"set", "Resp_ArchRuta", "/home/ana/Mis Datos"}).exit_code, 0);
  EXPECT_EQ(Tool({"set", "Resp_SeguPas", "it's \"x\""}).exit_code, 0);
  EXPECT_EQ(Tool({"get", "resp_archruta"}).output, "/home/ana/Mis Datos\n");
  EXPECT_EQ(settings::ReadSetting("Resp_SeguPas"), "it's \"x\"");
  EXPECT_EQ(Tool({"get", "Nunca"}).output, "\n");
  Outcome list = Tool({"list"});
  EXPECT_EQ(list.exit_code, 0);
  EXPECT_EQ(list.output, "Resp_ArchRuta=/home/ana/Mis Datos\nResp_SeguPas=********\n");
  EXPECT_EQ(Tool({"list", "--show-secrets"}).output,
            "Resp_ArchRuta=/home/ana/Mis Datos\nResp_SeguPas=it's \"x\"\n");
}

TEST_F(NorvoSettings, CustomerCodeIsStoredInBase64) {
  EXPECT_EQ(Tool({"set-customer", "123"}).exit_code, 0);
  EXPECT_EQ(settings::ReadSetting("Cliente"), "MTIz");
  EXPECT_EQ(settings::DecodeSetting(settings::ReadSetting("Cliente")), "123");
}

TEST_F(NorvoSettings, BadUseFailsClearlyAndWritesNothing) {
  for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                {"frobnicate"},
                                                                {"get"},
                                                                {"set", "OnlyName"},
                                                                {"set", "", "v"},
                                                                {"set-customer"},
                                                                {"set-customer", ""},
                                                                {"list", "extra"},
                                                                {"set", "A\\B", "v"},
                                                                {"set-customer", "12\n3"}}) {
    Outcome outcome = Tool(args);
    EXPECT_EQ(outcome.exit_code, 2) << outcome.output;
    EXPECT_NE(outcome.output.find("usage: norvo-settings"), std::string::npos) << outcome.output;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "registry.db"));
}

TEST_F(NorvoSettings, ListShowsAHandEditedLineBreakEscaped) {
  settings::WriteSetting("Cliente", "MTIz\r\nResp_Base=1");
  EXPECT_EQ(Tool({"list"}).output, "Cliente=MTIz\\r\\nResp_Base=1\n");
}

TEST_F(NorvoSettings, UnusableStoreIsReportedWithNonZeroExit) {
  WriteFile(dir / "registry.db", "damaged");
  Outcome outcome = Tool({"set", "Resp_Base", "1"});
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_NE(outcome.output.find("registry.db"), std::string::npos) << outcome.output;
  EXPECT_EQ(ReadFile(dir / "registry.db"), "damaged");
}

}  // namespace
}  // namespace norvo::test
