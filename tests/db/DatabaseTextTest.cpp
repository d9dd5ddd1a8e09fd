// The connection strings and statement texts of the database routines, as text.
#include <gtest/gtest.h>

#include "run/Database.h"
#include "run/OdbcConnectionString.h"

namespace norvo::test {
namespace {

using namespace norvo::run;

TEST(AdoConnectionString, WindowsLoginWithAndWithoutInstance) {
  EXPECT_EQ(AdoConnectionString("SRV1", "", kWindowsLogin, "", ""),
            "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
            "Data Source=SRV1");
  EXPECT_EQ(AdoConnectionString("SRV1", "SQLEXPRESS", kWindowsLogin, "ignored", "ignored"),
            "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
            "Data Source=SRV1\\SQLEXPRESS");
}

TEST(AdoConnectionString, SqlServerLoginJoinsPartsInOrder) {
  EXPECT_EQ(AdoConnectionString("SRV1", "SQLEXPRESS", kServerLogin, "sa", "clave"),
            "Provider=SQLOLEDB.1;Password=clave;Persist Security Info=True;User ID=sa;"
            "Data Source=SRV1\\SQLEXPRESS");
  // Every mode other than Windows authentication is a SQL Server login.
  EXPECT_EQ(AdoConnectionString("SRV1", "", 0, "", ""),
            "Provider=SQLOLEDB.1;Password=;Persist Security Info=True;User ID=;Data Source=SRV1");
}

TEST(OdbcConnectionString, BracesEveryValueAndEndsWithSemicolon) {
  EXPECT_EQ(DatabaseOdbcString("FreeTDS", "SRV1", "SQLEXPRESS", kServerLogin, "sa", "p;w=}{x}"),
            "DRIVER={FreeTDS};SERVER={SRV1\\SQLEXPRESS};UID={sa};PWD={p;w=}{x}};"
            "ClientCharset=UTF-8;");
  EXPECT_EQ(DatabaseOdbcString("ODBC Driver 18 for SQL Server", "SRV1", "", kServerLogin, "u}", "p;w=}{x"),
            "DRIVER={ODBC Driver 18 for SQL Server};SERVER={SRV1};UID={u}}};PWD={p;w=}}{x};"
            "ClientCharset=UTF-8;");
}

TEST(OdbcConnectionString, BraceStyleFollowsTheDriver) {
  EXPECT_EQ(BraceStyleOf("FreeTDS"), BraceStyle::kVerbatim);
  EXPECT_EQ(BraceStyleOf("/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so"), BraceStyle::kVerbatim);
  EXPECT_EQ(BraceStyleOf("SQL Server"), BraceStyle::kDoubled);
  EXPECT_EQ(OdbcBraced("}}", BraceStyle::kDoubled), "{}}}}}");
  EXPECT_EQ(OdbcBraced("}}", BraceStyle::kVerbatim), "{}}}");
  EXPECT_EQ(OdbcBraced("", BraceStyle::kVerbatim), "{}");
  // FreeTDS ends a braced value at the first "};": such a value cannot be sent.
  EXPECT_FALSE(OdbcBraced("a};b", BraceStyle::kVerbatim));
  EXPECT_FALSE(DatabaseOdbcString("FreeTDS", "SRV1", "", kServerLogin, "sa", "a};b"));
  EXPECT_EQ(OdbcBraced("a};b", BraceStyle::kDoubled), "{a}};b}");
}

TEST(OdbcConnectionString, WindowsLoginIsTrustedWithoutCredentials) {
  EXPECT_EQ(DatabaseOdbcString("/usr/lib/odbc/libtdsodbc.so", "SRV1", "", kWindowsLogin, "user", "secret"),
            "DRIVER={/usr/lib/odbc/libtdsodbc.so};SERVER={SRV1};Trusted_Connection=Yes;"
            "ClientCharset=UTF-8;");
}

TEST(IsDatabaseSelected, MatchesWholeIdsOnly) {
  EXPECT_TRUE(IsDatabaseSelected(",5,", 5));
  EXPECT_FALSE(IsDatabaseSelected(",5,", 15));
  EXPECT_FALSE(IsDatabaseSelected(",5,", 50));
  EXPECT_TRUE(IsDatabaseSelected(",7,123,", 123));
  EXPECT_FALSE(IsDatabaseSelected(",", 1));
  EXPECT_FALSE(IsDatabaseSelected("", 1));
}

TEST(BackupProcedureText, LinesEndInBareCarriageReturns) {
  EXPECT_EQ(BackupProcedureText("/w/TEMP_Norvo/", "BD05C001.BAK", "Ventas"),
            "CREATE PROCEDURE [dbo].[SP_RESPALDAR_BDD]\rAS\rBACKUP DATABASE [Ventas]\r"
            "TO  DISK = '/w/TEMP_Norvo/BD05C001.BAK'\r"
            "WITH  INIT ,NOUNLOAD ,NAME = N'Copia de seguridad BDD',  NOSKIP ,  STATS = 10,  "
            "NOFORMAT\r");
}

TEST(BackupProcedureText, QuotesStayInsideTheirNameAndLiteral) {
  std::string text = BackupProcedureText("/home/o'neil/", "BD05C001.BAK", "a]b");
  EXPECT_NE(text.find("BACKUP DATABASE [a]]b]\r"), std::string::npos) << text;
  EXPECT_NE(text.find("TO  DISK = '/home/o''neil/BD05C001.BAK'\r"), std::string::npos) << text;
}

}  // namespace
}  // namespace norvo::test
