// The run's sequence driven with recording stand-ins for every phase and for
// the account service; the settings store is the test's own. The same tests
// run on Windows, where the work folder is on a drive root of the tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/System.h"
#include "run/Archive.h"
#include "run/BackupRun.h"
#include "run/ItemNames.h"
#include "run/Transfer.h"
#include "settings/Settings.h"
#include "support/Files.h"
#include "support/RunSettings.h"
#include "support/TempDir.h"
#ifdef _WIN32
#include "WineSupport.h"
#endif

namespace norvo::test {
namespace {

using namespace norvo::run;

using settings::ReadSetting;
using settings::WriteSetting;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class BackupRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    // Under Wine the work folder is on the test drive, named by its letter.
    std::string letter = platform::EnvironmentValue("NORVO_TEST_DRIVE");
    if (letter.empty()) letter = dir_.path().string().substr(0, 1);
    SeedRunSettings(letter);
    work_ = letter + ":\\TEMP_Norvo\\";
#else
    SeedRunSettings(dir_ / "drive/");
    work_ = dir_ / "drive/TEMP_Norvo/";
#endif
    std::filesystem::remove_all(work_);
    WriteSetting("Resp_RespUCopia", "0");
  }

  RunEnvironment Environment() {
    RunEnvironment env;
    env.clock = [] {
      std::tm moment{};  // 3 July 2024 14:05 local time
      moment.tm_year = 124;
      moment.tm_mon = 6;
      moment.tm_mday = 3;
      moment.tm_hour = 14;
      moment.tm_min = 5;
      moment.tm_isdst = -1;
      return platform::FromLocalTime(moment);
    };
    env.diagnostic = [this](const std::string& line) { diagnostics_.push_back(line); };
    env.service = AccountService("svc.test:8080", [this](const std::string& url, std::size_t max) {
      const std::string prefix = "http://svc.test:8080/funciones.php?";
      requests_.push_back(url.rfind(prefix, 0) == 0 ? url.substr(prefix.size()) : "BAD " + url);
      EXPECT_EQ(max, 250u);
      return url.find("Tipo=3&") != std::string::npos ? reply_ : std::string("OK");
    });
    env.phases.OpenDatabase = [this](const std::string& s, const std::string& i, std::int16_t mode,
                                     const std::string& u, const std::string& p) {
      calls_.push_back("open " + s + "|" + i + "|" + std::to_string(mode) + "|" + u + "|" + p);
      return dbOpens_;
    };
    env.phases.ListDatabases = [this](std::vector<DatabaseRow>& rows) {
      calls_.push_back("list");
      rows = rows_;
      return listResult_;
    };
    env.phases.DumpDatabase = [this](const std::string& folder, const std::string& file,
                                     const std::string& db) {
      calls_.push_back("dump " + Local(folder) + "|" + file + "|" + db);
      if (dumpFails_.count(db)) return dumpFails_[db];
      WriteFile(folder + file, "dump of " + db);
      return std::string("OK");
    };
    env.phases.BuildArchive = [this](std::int16_t recurse, const std::string& files,
                                     const std::string& archive, const std::string& password,
                                     const std::string& deleteFlag) {
      calls_.push_back("rar " + std::to_string(recurse) + "|" + Local(files) + "|" + Local(archive) + "|" +
                       password + "|" + deleteFlag);
      // Stands in for the tool: the archive exists when the source does.
      if (!platform::AnyFileMatches(files)) return std::string(kNoFilesToPack);
      WriteFile(archive, "archive");
      if (deleteFlag == "S") platform::RemoveFile(files);
      return std::string("OK");
    };
    env.phases.UploadToCloud = [this](const std::string& host, const std::string& user, const std::string& pw,
                                      const std::string& computer, const std::string& customer,
                                      const std::string& local, const std::string& file) {
      calls_.push_back("upload " + host + "|" + user + "|" + pw + "|" + computer + "|" + customer + "|" +
                       Local(local) + "|" + file);
      if (uploadFails_.count(file)) return uploadFails_[file];
      return platform::FileExists(local + file) ? std::string("OK")
                                                : "Problema no se pudo copiar el archivo " + file;
    };
    return env;
  }

  RunResult RunOnce() { return BackupRun(Environment()).Run(); }

  // File set 1: the *.xls files of the folder Datos, which holds a.xls.
  void UseXlsFileSet() {
    WriteSetting("Resp_Archivo", "1");
    std::filesystem::create_directories(dir_ / "Datos");
    WriteFile(dir_ / "Datos/a.xls", "x");
    WriteSetting("Resp_ArchRuta", dir_ / "Datos");
    WriteSetting("Resp_ArchTipo", "C");
    WriteSetting("Resp_ArchFil", "*.xls");
  }

  // A run of database 5 and file set 1 with local copies kept, over the work
  // files an earlier run of the slot left; each phase call notes whether the
  // file it makes was already there.
  std::vector<std::string> RunOverLeftWorkFiles() {
    WriteSetting("Resp_ProgRespLoc", "1");
    WriteSetting("Resp_Base", "1");
    WriteSetting("Resp_BaseBas", ",5,");
    rows_ = {{5, "Ventas"}};
    UseXlsFileSet();
    std::filesystem::create_directories(work_);
    for (const char* name : {"BD05C001.BAK", "BD05C001.RAR", "ARC1C001.RAR"}) WriteFile(work_ + name, "old");
    std::vector<std::string> seen;
    RunEnvironment env = Environment();
    const auto note = [&seen](const std::string& path) {
      seen.push_back(std::filesystem::path(path).filename().string() +
                     (platform::FileExists(path) ? " there" : " gone"));
    };
    env.phases.DumpDatabase = [note, dump = env.phases.DumpDatabase](
                                  const std::string& folder, const std::string& file, const std::string& db) {
      note(folder + file);
      return dump(folder, file, db);
    };
    env.phases.BuildArchive = [note, build = env.phases.BuildArchive](
                                  std::int16_t recurse, const std::string& files, const std::string& archive,
                                  const std::string& password, const std::string& deleteFlag) {
      note(archive);
      return build(recurse, files, archive, password, deleteFlag);
    };
    EXPECT_EQ(BackupRun(env).Run().end, RunEnd::Completed);
    return seen;
  }

  // The work folder shown as "~/drive/TEMP_Norvo/", other paths inside the
  // test folder (in long or short form) relative to it, with "/" between folders.
  std::string Local(const std::string& path) const {
    std::string shown = path;
    for (const auto& [prefix, as] : {std::pair{work_, std::string("~/drive/TEMP_Norvo/")},
                                     {ShortPathOf(dir_.path().string()), "~"},
                                     {dir_.path().string(), "~"}}) {
      if (!prefix.empty() && shown.rfind(prefix, 0) == 0) {
        shown = as + shown.substr(prefix.size());
        break;
      }
    }
    std::replace(shown.begin(), shown.end(), '\\', '/');
    return shown;
  }

  void ExpectNothingSaved() {
    EXPECT_EQ(ReadSetting("Resp_RespFecha"), "");
    EXPECT_EQ(ReadSetting("Resp_RespUCopia"), "0");
  }

  TempDir dir_;
#ifdef _WIN32
  ScopedStore store_;
#else
  ScopedEnv registry_{"NORVO_REGISTRY", dir_ / "registry.db"};
#endif
  std::string work_;
  std::string reply_ = "Acme;ftp.example;ftpuser;ftppw;/base/";
  std::vector<std::string> requests_, calls_, diagnostics_;
  bool dbOpens_ = true;
  std::vector<DatabaseRow> rows_;
  std::string listResult_ = "OK";
  std::map<std::string, std::string> dumpFails_, uploadFails_;
  const std::string pc_ = GetMachineName();
};

TEST_F(BackupRunTest, FiveFieldReplyNamesTheCloudFoldersAndTheRunSavesDateAndSlot) {
  UseXlsFileSet();
  WriteSetting("Resp_SeguPas", "s3cret");
  RunResult result = RunOnce();
  ASSERT_EQ(result.end, RunEnd::Completed) << result.reason;
  EXPECT_THAT(calls_, ElementsAre("rar 0|~/Datos/*.xls|~/drive/TEMP_Norvo/ARC1C001.RAR|s3cret|N",
                                  "upload ftp.example|ftpuser|ftppw|/base/123/" + pc_ +
                                      "/|/base/123/|"
                                      "~/drive/TEMP_Norvo/|ARC1C001.RAR"));
  EXPECT_THAT(requests_,
              ElementsAre("Tipo=3&Clave=MTIz", "Tipo=4&CL=123&NE=" + pc_ + "&TR=AR&RE=" +
                                                   EscapeQueryValue(ShortPathOf(dir_ / "Datos") +
                                                                    platform::kPathSeparator + "*.xls") +
                                                   "&CO=ARC1C001.RAR&ED=Y"));
  EXPECT_EQ(ReadSetting("Resp_RespFecha"), "03-07-2024 14:05");
  EXPECT_EQ(ReadSetting("Resp_RespUCopia"), "1");
  EXPECT_FALSE(platform::FileExists(work_ + "ARC1C001.RAR")) << "no local copy was asked for";
}

TEST_F(BackupRunTest, OnlyARunWhoseEveryItemReachedTheCloudDatesTheCompleteCopy) {
  EXPECT_FALSE(RunOnce().complete) << "a run with nothing to back up makes no copy";
  EXPECT_EQ(ReadSetting("Resp_RespCompleta"), "");
  WriteSetting("Resp_Archivo", "1");
  WriteFile(dir_ / "informe.doc", "x");
  WriteSetting("Resp_ArchRuta", dir_.path().string() + "/");
  WriteSetting("Resp_ArchNom", "informe.doc");
  WriteSetting("Resp_ArchTipo", "A");
  EXPECT_TRUE(RunOnce().complete);
  EXPECT_EQ(ReadSetting("Resp_RespCompleta"), "03-07-2024 14:05");
  // The file set reaches the cloud, the databases do not: the run is dated, the copy is not.
  WriteSetting("Resp_RespCompleta", "01-07-2024 23:00");
  WriteSetting("Resp_RespFecha", "01-07-2024 23:00");
  WriteSetting("Resp_Base", "1");
  dbOpens_ = false;
  EXPECT_FALSE(RunOnce().complete);
  EXPECT_EQ(ReadSetting("Resp_RespFecha"), "03-07-2024 14:05");
  EXPECT_EQ(ReadSetting("Resp_RespCompleta"), "01-07-2024 23:00");
}

TEST_F(BackupRunTest, ReplyWithoutCompanyNameEndsTheRunQuietly) {
  for (std::string reply : {"", ";ftp;u;p;/b/", "\n"}) {
    reply_ = reply == "\n" ? std::string() : reply;
    requests_.clear();
    WriteSetting("Resp_Archivo", "1");
    WriteSetting("Resp_ArchRuta", dir_.path().string());
    RunResult result = RunOnce();
    EXPECT_EQ(result.end, RunEnd::NoAccount) << reply;
    EXPECT_THAT(calls_, IsEmpty());
    EXPECT_THAT(requests_, ElementsAre("Tipo=3&Clave=MTIz"));
    ExpectNothingSaved();
  }
}

TEST_F(BackupRunTest, SevenFieldReplyEndsTheRunBeforeAnyBackup) {
  for (std::string reply : {"a;b;c;d;e;f;", "a;b;c;d;e;f;g"}) {
    reply_ = reply;
    requests_.clear();
    WriteSetting("Resp_Base", "1");
    RunResult result = RunOnce();
    EXPECT_EQ(result.end, RunEnd::Aborted) << reply;
    EXPECT_THAT(calls_, IsEmpty());
    EXPECT_EQ(requests_.size(), 1u);
    ExpectNothingSaved();
  }
  reply_ = "a;b;c;d;e;f";  // six fields are accepted
  EXPECT_EQ(RunOnce().end, RunEnd::Completed);
}

// Resp_RespFecha is the local time of the run's end, wherever the computer is.
TEST_F(BackupRunTest, RunDateIsWrittenInLocalTime) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows takes the time zone from the system, which a test cannot move";
#endif
  ScopedEnv tz("TZ", "XXX3");  // three hours behind UTC, no summer time
  ::tzset();
  RunEnvironment env = Environment();
  env.clock = [] { return std::time_t{1720015500}; };  // 03-07-2024 14:05 UTC
  ASSERT_EQ(BackupRun(env).Run().end, RunEnd::Completed);
  EXPECT_EQ(ReadSetting("Resp_RespFecha"), "03-07-2024 11:05");
}

TEST_F(BackupRunTest, CopySlotRotatesAndRestartsAboveTheCopyCount) {
  struct Case {
    const char* copies;
    const char* last;
    const char* expected;
  };
  for (Case c : {Case{"3", "3", "1"}, Case{"3", "1", "2"}, Case{"3", "0", "1"}, Case{"3", "7", "1"},
                 Case{"", "", "1"}, Case{"2", "-4", "1"}, Case{"32767", "32766", "32767"}}) {
    WriteSetting("Resp_ProgCopias", c.copies);
    WriteSetting("Resp_RespUCopia", c.last);
    RunResult result = RunOnce();
    EXPECT_EQ(result.end, RunEnd::Completed);
    EXPECT_EQ(ReadSetting("Resp_RespUCopia"), c.expected) << c.copies << "/" << c.last;
  }
}

TEST_F(BackupRunTest, DatabasesAreSelectedByIdBetweenCommasAndNamedBySlot) {
  WriteSetting("Resp_Base", "1");
  WriteSetting("Resp_BaseBas", ",5,123,");
  WriteSetting("Resp_BaseSer", "SRV1");
  WriteSetting("Resp_BaseIns", "SQLEXPRESS");
  WriteSetting("Resp_BaseAut", "Aut1");
  WriteSetting("Resp_BaseUsr", "sa");
  WriteSetting("Resp_RespUCopia", "11");
  WriteSetting("Resp_ProgCopias", "20");
  WriteSetting("Resp_ProgRespLoc", "1");
  rows_ = {{1, "master"}, {5, "Ventas"}, {15, "Quince"}, {50, "Cincuenta"}, {123, "Big"}};
  RunResult result = RunOnce();
  ASSERT_EQ(result.end, RunEnd::Completed) << result.reason;
  const std::string w = "~/drive/TEMP_Norvo/";
  const std::string up = "upload ftp.example|ftpuser|ftppw|/base/123/" + pc_ + "/|/base/123/|" + w + "|";
  EXPECT_THAT(calls_,
              ElementsAre("open SRV1|SQLEXPRESS|1||", "list", "dump " + w + "|BD05C012.BAK|Ventas",
                          "rar 0|" + w + "BD05C012.BAK|" + w + "BD05C012.RAR||S", up + "BD05C012.RAR",
                          "dump " + w + "|BD123C012.BAK|Big",
                          "rar 0|" + w + "BD123C012.BAK|" + w + "BD123C012.RAR||S", up + "BD123C012.RAR"));
  EXPECT_TRUE(platform::FileExists(work_ + "BD05C012.RAR")) << "the local copy is kept";
  EXPECT_FALSE(platform::FileExists(work_ + "BD05C012.BAK")) << "the tool deleted the dump";
  EXPECT_EQ(requests_.at(1), "Tipo=4&CL=123&NE=" + pc_ + "&TR=BD&RE=Ventas&CO=BD05C012.RAR&ED=Y");
  EXPECT_EQ(requests_.at(2), "Tipo=4&CL=123&NE=" + pc_ + "&TR=BD&RE=Big&CO=BD123C012.RAR&ED=Y");
}

TEST_F(BackupRunTest, ServerLoginPassesUserAndPasswordAndAFailedConnectionIsAnError) {
  WriteSetting("Resp_Base", "1");
  WriteSetting("Resp_BaseSer", "SRV1");
  WriteSetting("Resp_BaseAut", "Aut2");
  WriteSetting("Resp_BaseUsr", "sa");
  WriteSetting("Resp_BasePas", "pw 1");
  WriteSetting("Resp_Archivo", "1");
  WriteSetting("Resp_ArchRuta", dir_ / "nothing-here");
  dbOpens_ = false;
  RunResult result = RunOnce();
  ASSERT_EQ(result.end, RunEnd::Completed) << result.reason;
  EXPECT_EQ(calls_.at(0), "open SRV1||2|sa|pw 1");
  EXPECT_THAT(calls_.at(1), HasSubstr("rar 0|~/nothing-here/|")) << "the file phase still runs";
  EXPECT_EQ(result.errors.at(0), "Error de conexión con BDD");
  EXPECT_EQ(requests_.at(2), "Tipo=5&CL=123&NO=Acme&NE=" + pc_ + "&ER=Error%20de%20conexi%F3n%20con%20BDD");
}

TEST_F(BackupRunTest, FileSetsOfBothKindsWithSubfoldersAndSkippedSets) {
  WriteSetting("Resp_Archivo", "1");
  WriteSetting("Resp_RespUCopia", "2");
  std::filesystem::create_directories(dir_ / "one file");
  WriteFile(dir_ / "one file/libro.xls", "x");
  WriteSetting("Resp_ArchRuta", "");  // set 1 skipped
  WriteSetting("Resp_ArchRuta2", dir_ / "one file/");
  WriteSetting("Resp_ArchTipo2", "A");
  WriteSetting("Resp_ArchNom2", "libro.xls");
  WriteSetting("Resp_ArchRuta3", dir_.path().string());
  WriteSetting("Resp_ArchTipo3", "C");
  WriteSetting("Resp_ArchFil3", "*.*");
  WriteSetting("Resp_ArchSub3", "1");
  RunResult result = RunOnce();
  ASSERT_EQ(result.end, RunEnd::Completed);
  ASSERT_EQ(calls_.size(), 4u);
  EXPECT_EQ(calls_[0], "rar 0|" + Local(ShortPathOf(dir_ / "one file/")) +
                           "libro.xls|~/drive/TEMP_Norvo/ARA2C003.RAR||N");
  EXPECT_EQ(calls_[2], "rar 1|~/*.*|~/drive/TEMP_Norvo/ARC3C003.RAR||N");
  EXPECT_TRUE(platform::FileExists(dir_ / "one file/libro.xls")) << "sources stay";
}

TEST_F(BackupRunTest, WithLocalCopiesTheOldDumpAndFileSetArchiveGoBeforeTheirItemIsMade) {
  const std::vector<std::string> seen = RunOverLeftWorkFiles();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], "BD05C001.BAK gone");
  EXPECT_EQ(seen[2], "ARC1C001.RAR gone");
}

TEST_F(BackupRunTest, AKeptDatabaseArchiveReceivesTheNewDump) {
  const std::vector<std::string> seen = RunOverLeftWorkFiles();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[1], "BD05C001.RAR there") << "the tool adds the dump to the kept archive";
}

TEST_F(BackupRunTest, RecurseIsTheSubfolderSettingAsANumber) {
  WriteSetting("Resp_Archivo", "1");
  WriteSetting("Resp_ArchRuta", dir_.path().string());
  WriteSetting("Resp_ArchSub", "2");
  RunOnce();
  EXPECT_THAT(calls_.at(0), ::testing::StartsWith("rar 2|"));
}

TEST_F(BackupRunTest, TwoErrorsGiveTwoErrorReportsAndNoSuccessNotice) {
  WriteSetting("Resp_ProgEnv", "1");
  WriteSetting("Resp_ProgMail", "jefe@acme.example");
  WriteSetting("Resp_Archivo", "1");
  WriteSetting("Resp_ArchRuta", dir_ / "missing");
  WriteSetting("Resp_ArchTipo", "C");
  WriteSetting("Resp_ArchFil", "*.doc");
  RunResult result = RunOnce();
  ASSERT_EQ(result.end, RunEnd::Completed);
  const std::string base = "Tipo=5&CL=123&NO=Acme&NE=" + pc_ + "&ER=";
  EXPECT_THAT(std::vector<std::string>(requests_.begin() + 2, requests_.end()),
              ElementsAre(base + "No%20existen%20archivo%28s%29%20para%20comprimir",
                          base + "Problema%20no%20se%20pudo%20copiar%20el%20archivo%20ARC1C001.RAR"));
  EXPECT_THAT(requests_.at(1), HasSubstr("&ED=N"));
  EXPECT_EQ(ReadSetting("Resp_RespUCopia"), "1");
}

TEST_F(BackupRunTest, SuccessNoticeOnlyWhenAskedFor) {
  WriteSetting("Resp_ProgEnv", "1");
  WriteSetting("Resp_ProgMail", "jefe ñ@acme.example");
  RunOnce();
  EXPECT_THAT(requests_,
              ElementsAre("Tipo=3&Clave=MTIz", "Tipo=7&CL=123&MA=jefe%20%F1%40acme.example&NE=" + pc_));
  requests_.clear();
  WriteSetting("Resp_ProgEnv", "0");
  RunOnce();
  EXPECT_THAT(requests_, ElementsAre("Tipo=3&Clave=MTIz"));
}

TEST_F(BackupRunTest, FailedDumpWithoutLocalCopyStillReportsEverything) {
  WriteSetting("Resp_Base", "1");
  WriteSetting("Resp_BaseBas", ",7,");
  rows_ = {{7, "Nomina"}};
  dumpFails_["Nomina"] = "Permiso denegado";
  RunResult result = RunOnce();
  ASSERT_EQ(result.end, RunEnd::Completed) << "a missing archive at the deletion does not end the run";
  EXPECT_THAT(result.errors, ElementsAre("Permiso denegado", kNoFilesToPack,
                                         "Problema no se pudo copiar el archivo BD07C001.RAR"));
  EXPECT_THAT(requests_.at(1), HasSubstr("&CO=BD07C001.RAR&ED=N"));
  EXPECT_EQ(requests_.size(), 5u);
  EXPECT_EQ(ReadSetting("Resp_RespUCopia"), "1");
}

TEST_F(BackupRunTest, ErrorsBeyondTheTwentyFirstAreStillReported) {
  WriteSetting("Resp_Base", "1");
  std::string selection = ",";
  for (int id = 1; id <= 25; ++id) {
    rows_.push_back({id, "db" + std::to_string(id)});
    selection += std::to_string(id) + ",";
    uploadFails_[DumpBaseName(id, 1) + ".RAR"] = "No se puede conectar al Cloud " + std::to_string(id);
  }
  WriteSetting("Resp_BaseBas", selection);
  RunResult result = RunOnce();
  ASSERT_EQ(result.end, RunEnd::Completed) << result.reason;
  ASSERT_EQ(result.errors.size(), 25u);
  std::vector<std::string> reports;
  for (const auto& r : requests_) {
    if (r.rfind("Tipo=5&", 0) == 0) reports.push_back(r.substr(r.find("&ER=") + 4));
  }
  ASSERT_EQ(reports.size(), 25u);
  EXPECT_EQ(reports.front(), "No%20se%20puede%20conectar%20al%20Cloud%201");
  EXPECT_EQ(reports.back(), "No%20se%20puede%20conectar%20al%20Cloud%2025");
  EXPECT_EQ(ReadSetting("Resp_RespUCopia"), "1");
}

// Before the account lookup the diagnostic line is the only signal; after it,
// one error report with the reason goes out and nothing else.
TEST_F(BackupRunTest, CasesThatEndTheRunReportOnceAfterTheLookupAndSaveNothing) {
  struct Case {
    const char* name;
    const char* value;
    const char* reason;  // a missing setting is named as missing
    const char* report;  // the report's customer and reason, or nothing
  };
  const std::string ended =
      "Tipo=5&CL=123&NO=Acme&NE=" + pc_ + "&ER=Respaldo%20terminado%20antes%20de%20tiempo%3A%20";
  for (Case c :
       {Case{"Resp_ProgEnv", "", "Resp_ProgEnv is not set", ""},
        Case{"Resp_ProgEnv", "quizas", "Resp_ProgEnv is not a Boolean", ""},
        Case{"Resp_Base", "x", "Resp_Base is not a number", "Resp_Base%20no%20es%20un%20n%FAmero"},
        Case{"Resp_Base", "", "Resp_Base is not set", "Resp_Base%20no%20tiene%20valor"},
        Case{"Resp_Archivo", "si", "Resp_Archivo is not a number", "Resp_Archivo%20no%20es%20un%20n%FAmero"},
        Case{"Resp_Archivo", "", "Resp_Archivo is not set", "Resp_Archivo%20no%20tiene%20valor"},
        Case{"Cliente", "MTI", "Cliente",
             "el%20c%F3digo%20de%20cliente%20guardado%20no%20es%20Base64%20v%E1lido"},
        Case{"Resp_ProgCopias", "40000", "Resp_ProgCopias is out of range", ""},
        Case{"Resp_RespUCopia", "99999", "Resp_RespUCopia is out of range", ""}}) {
    SetUp();
    requests_.clear();
    WriteSetting(c.name, c.value);
    RunResult result = RunOnce();
    EXPECT_EQ(result.end, RunEnd::Aborted) << c.name << "=" << c.value;
    EXPECT_THAT(result.reason, HasSubstr(c.reason));
    if (std::string(c.report).empty()) {
      EXPECT_THAT(requests_, IsEmpty()) << c.name << "=" << c.value;
    } else {
      std::string expected = ended + c.report;
      if (std::string(c.name) == "Cliente") expected.replace(expected.find("CL=123"), 6, "CL=MTI");
      EXPECT_THAT(requests_, ElementsAre("Tipo=3&Clave=" + ReadSetting("Cliente"), expected))
          << c.name << "=" << c.value;
    }
    EXPECT_EQ(ReadSetting("Resp_RespFecha"), "");
    EXPECT_EQ(ReadSetting("Resp_RespUCopia"), std::string(c.name) == "Resp_RespUCopia" ? c.value : "0");
    EXPECT_THAT(diagnostics_.back(), HasSubstr("run ended")) << c.name;
  }
}

// Without an archiver no item is dumped, packed or uploaded; its absence is one error.
TEST_F(BackupRunTest, WithoutAnArchiverEveryItemIsReportedNotUploadedAndTheReasonOnce) {
  WriteSetting("Resp_Base", "1");
  WriteSetting("Resp_BaseBas", ",5,7,");
  rows_ = {{5, "Ventas"}, {7, "Sueldos"}};
  WriteSetting("Resp_Archivo", "1");
  WriteSetting("Resp_ArchRuta", dir_ / "Datos");
  WriteSetting("Resp_ArchTipo", "C");
  WriteSetting("Resp_ArchFil", "*.xls");
  RunEnvironment env = Environment();
  env.phases.archiverMissing = "No se encontró un programa compresor";
  RunResult result = BackupRun(std::move(env)).Run();
  EXPECT_EQ(result.end, RunEnd::Completed);
  EXPECT_THAT(result.errors, ElementsAre("No se encontró un programa compresor"));
  EXPECT_THAT(calls_, ElementsAre(HasSubstr("open "), "list")) << "no dump, archive or upload";
  EXPECT_THAT(requests_, ElementsAre(HasSubstr("Tipo=3"), HasSubstr("&RE=Ventas&CO=BD05C001.RAR&ED=N"),
                                     HasSubstr("&RE=Sueldos&CO=BD07C001.RAR&ED=N"),
                                     HasSubstr("&CO=ARC1C001.RAR&ED=N"), HasSubstr("&ER=No%20se%20encontr")));
}

TEST_F(BackupRunTest, DatabaseListFailureEndsTheRunWithOneReport) {
  WriteSetting("Resp_Base", "1");
  listResult_ = "Conexión perdida";
  RunResult result = RunOnce();
  EXPECT_EQ(result.end, RunEnd::Aborted);
  EXPECT_THAT(result.reason, HasSubstr("Conexión perdida"));
  ASSERT_EQ(requests_.size(), 2u);
  EXPECT_THAT(requests_[1], HasSubstr("lista%20de%20bases%20de%20datos%3A%20Conexi%F3n%20perdida"));
  ExpectNothingSaved();
}

TEST_F(BackupRunTest, LateFailureAfterUploadsStillSavesNothing) {
  WriteSetting("Resp_Base", "1");
  WriteSetting("Resp_BaseBas", ",5,");
  WriteSetting("Resp_Archivo", "");
  rows_ = {{5, "Ventas"}};
  RunResult result = RunOnce();
  EXPECT_EQ(result.end, RunEnd::Aborted);
  ASSERT_EQ(requests_.size(), 3u) << "the item report of the database went out before";
  EXPECT_THAT(requests_[2], HasSubstr("Tipo=5&"));
  ExpectNothingSaved();
}

}  // namespace
}  // namespace norvo::test
