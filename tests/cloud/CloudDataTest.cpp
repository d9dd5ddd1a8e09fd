// The cloud browser's pure parts: the service's replies, the names of a
// restore, the list lines, the used-space label and the error report.
#include <gtest/gtest.h>

#include <QLocale>
#include <cmath>
#include <ctime>

#include "cloud/CloudData.h"
#include "cloud/ErrorReport.h"
#include "cloud/Respaldo.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

using namespace norvo::cloud;

const QLocale kChile(QLocale::Spanish, QLocale::Chile);  // dd-MM, "." thousands, "," decimals
const QLocale kUs(QLocale::English, QLocale::UnitedStates);

TEST(SizeTable, PairsOfEndedFieldsAndTheOpenLastFieldDropped) {
  auto pairs = ParseSizeTable("A.RAR;100;B.RAR;;C.RAR;7;D.RAR");
  ASSERT_EQ(pairs.size(), 3u);
  EXPECT_EQ(pairs[0], SizePair("A.RAR", "100"));
  EXPECT_EQ(pairs[1], SizePair("B.RAR", ""));
  EXPECT_EQ(pairs[2], SizePair("C.RAR", "7"));
  // A name whose size never arrived is no pair; an empty reply gives none.
  EXPECT_EQ(ParseSizeTable("A.RAR;100;B.RAR;").size(), 1u);
  EXPECT_TRUE(ParseSizeTable("").empty());
}

TEST(SizeTable, AtMost101Pairs) {
  std::string reply;
  for (int i = 0; i < 150; ++i) reply += "F" + std::to_string(i) + ";" + std::to_string(i) + ";";
  auto pairs = ParseSizeTable(reply);
  ASSERT_EQ(pairs.size(), kMaxSizePairs);
  EXPECT_EQ(pairs.back(), SizePair("F100", "100"));
}

TEST(CloudData, TheCustomerFolder) {
  auto fields = run::FirstSixFields("Empresa;host:21;usr;pw;/base/;x;extra;more");
  EXPECT_EQ(CustomerFolder(fields, "C0105", "PC1"), "/base/C0105/PC1");
}

TEST(CloudData, CustomerCodeDecodedOrEmpty) {
  EXPECT_EQ(DecodeCustomerCode("QzAxMDU="), "C0105");
  EXPECT_EQ(DecodeCustomerCode("not base64!"), "");
  EXPECT_EQ(DecodeCustomerCode(""), "");
}

TEST(CloudData, TemporaryNameReplacesTheLastThreeCharacters) {
  EXPECT_EQ(TemporaryName("/home/u/copia.rar"), "/home/u/copia.TMP");
  EXPECT_EQ(TemporaryName("/home/u/respaldo"), "/home/u/respaTMP");
  EXPECT_EQ(TemporaryName("/home/u/año.rar"), "/home/u/año.TMP");  // characters, not bytes
  EXPECT_EQ(TemporaryName("/home/u/cañ"), "/home/u/cañ.TMP");
  // Never the destination itself, never outside its folder.
  EXPECT_EQ(TemporaryName("/home/u/copia.TMP"), "/home/u/copia.TMP.TMP");
  EXPECT_EQ(TemporaryName("/home/u/ab"), "/home/u/ab.TMP");
}

TEST(ListFormat, TheLineOfTheExample) {
  Respaldo r;
  DateTexts(41414.96875, &r.Dia, &r.Hora);  // 20 May 2013 23:15
  r.Archivo = "0105C01.RAR";
  r.Tamano = "1234567";
  EXPECT_EQ(ListLine(3, r, kChile), "03 | 20-05-2013 | 23:15 | 0105C01.RAR  |     1.234.567");
  // Long names and sizes get no filling and the line goes on.
  r.Archivo = "ARCHIVO_LARGO.RAR";
  r.Tamano = "1234567890123";
  EXPECT_EQ(ListLine(12, r, kUs), "12 | 20-05-2013 | 23:15 | ARCHIVO_LARGO.RAR | 1,234,567,890,123");
  r.Tamano = "n/a";
  EXPECT_TRUE(ListLine(1, r, kChile).endsWith("|           n/a"));
}

TEST(ListFormat, NoTimeGivesNoDate) {
  for (double fecha : {0.0, std::nan(""), 1e300, -1e300}) {
    QString dia = "x", hora = "y";
    DateTexts(fecha, &dia, &hora);
    EXPECT_TRUE(dia.isEmpty()) << fecha;
    EXPECT_TRUE(hora.isEmpty()) << fecha;
  }
}

TEST(ListFormat, TheClockAsWrittenOnTheDaySummerTimeBegins) {
  // In Santiago 8 September 2024 has no midnight: the clocks went from 24:00 to 01:00.
  ScopedEnv tz("TZ", "America/Santiago");
  ::tzset();
  QString dia, hora;
  DateTexts(45543.96875, &dia, &hora);
  EXPECT_EQ((dia + " " + hora).toStdString(), "08-09-2024 23:15");
  DateTexts(45543 + (86400 - 0.5) / 86400, &dia, &hora);
  EXPECT_EQ((dia + " " + hora).toStdString(), "09-09-2024 00:00")
      << "the last half second is the next midnight";
}

TEST(ListFormat, UsedSpaceWithTheRegionalSeparators) {
  EXPECT_EQ(FormatUsedSpace(0, kChile), ",000 GB    -    0 KB");
  EXPECT_EQ(FormatUsedSpace(0, kUs), ".000 GB    -    0 KB");
  EXPECT_EQ(FormatUsedSpace(1234567, kChile), "1,177 GB    -    1.234.567 KB");
  EXPECT_EQ(FormatUsedSpace(524288, kUs), ".500 GB    -    524,288 KB");
  EXPECT_EQ(FormatUsedSpace(5368709120.0, kChile), "5120,000 GB    -    5.368.709.120 KB");
  EXPECT_EQ(FormatThousands(999.5, kChile), "1.000");
  EXPECT_EQ(FormatThousands(123, kChile), "123");
}

Respaldo Dated(double fecha, const char* name) {
  Respaldo r;
  r.Fecha = fecha;
  DateTexts(fecha, &r.Dia, &r.Hora);
  r.Archivo = name;
  r.Tamano = "1";
  return r;
}

TEST(OrdenarLista, OldestFirstStableAndNumberedFromOne) {
  Respaldos table;
  table[0] = Dated(41414.5, "C.RAR");
  table[1] = Dated(41400.5, "A.RAR");
  table[2] = Dated(41414.5, "D.RAR");  // same time as C: stays after it
  table[3] = Dated(41410.5, "B.RAR");
  SortByDate(table);
  std::int16_t first = -1;
  std::vector<int> records;
  QStringList lines = ListLines(table, kChile, &first, &records);
  ASSERT_EQ(lines.size(), 4);
  EXPECT_EQ(first, 97);
  EXPECT_EQ(records, std::vector<int>({97, 98, 99, 100}));
  EXPECT_TRUE(lines[0].startsWith("01 | ") && lines[0].contains("A.RAR"));
  EXPECT_TRUE(lines[1].startsWith("02 | ") && lines[1].contains("B.RAR"));
  EXPECT_TRUE(lines[2].contains("C.RAR"));
  EXPECT_TRUE(lines[3].startsWith("04 | ") && lines[3].contains("D.RAR"));
}

TEST(OrdenarLista, RecordZeroIsNeverShown) {
  Respaldos table;
  for (int i = 0; i < kRespaldosCount; ++i) table[i] = Dated(40000 + i, ("F" + std::to_string(i)).c_str());
  SortByDate(table);
  std::int16_t first = 0;
  std::vector<int> records;
  QStringList lines = ListLines(table, kChile, &first, &records);
  EXPECT_EQ(lines.size(), 100);
  EXPECT_EQ(first, 1);
  EXPECT_TRUE(lines[0].contains("F1 "));  // the oldest, F0, is left out
  EXPECT_TRUE(lines[99].startsWith("100 | "));
}

TEST(ErrorReport, BodySubjectAndRecipients) {
  std::string body =
      ErrorReportBody("C0105", "Empresa S.A.", "PC1", "No se puede conectar al Cloud", "1.0.14");
  EXPECT_EQ(body,
            "Se ha detectado problema en la descarga de backup:\r\n\r\n"
            "Código Cliente:C0105\r\n"
            "R.Social:      Empresa S.A.\r\n"
            "Nombre Equipo: PC1\r\n"
            "Versión Aplicación: 1.0.14\r\n"
            "Mensaje:\r\n"
            "No se puede conectar al Cloud");
  EXPECT_EQ(QString::fromUtf8("Código Cliente:").size(), 15);
  EXPECT_EQ(ErrorReportSubject("Empresa S.A."), "Problema en cliente: Empresa S.A.");
  settings::ProviderConfig config;
  config.support_mailbox = "s@x";
  config.report_mailbox = "r@x";
  EXPECT_EQ(ErrorReportRecipients(config), "s@x;r@x");
}

}  // namespace
}  // namespace norvo::test
