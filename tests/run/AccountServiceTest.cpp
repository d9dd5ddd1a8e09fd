// The account service's request texts and reply split, and the names and
// slots the run gives its items.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run/AccountService.h"
#include "run/ItemNames.h"

namespace norvo::test {
namespace {

using namespace norvo::run;

using ::testing::ElementsAre;

TEST(SplitAccountReply, FiveFieldsLeaveTheSixthEmpty) {
  auto fields = SplitAccountReply("Acme;ftp.host;user;pw;/base/");
  ASSERT_TRUE(fields);
  EXPECT_THAT(*fields, ElementsAre("Acme", "ftp.host", "user", "pw", "/base/", ""));
}

TEST(SplitAccountReply, EmptyOrLeadingSemicolonGivesNoCompanyName) {
  EXPECT_EQ(SplitAccountReply("")->at(0), "");
  auto fields = SplitAccountReply(";host;u;p;/b/");
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->at(0), "");
  EXPECT_EQ(fields->at(1), "host");
}

TEST(SplitAccountReply, SevenFieldsAreRefusedEvenWhenTheLastIsEmpty) {
  EXPECT_TRUE(SplitAccountReply("a;b;c;d;e;f"));
  EXPECT_FALSE(SplitAccountReply("a;b;c;d;e;f;"));
  EXPECT_FALSE(SplitAccountReply("a;b;c;d;e;f;g;h"));
}

TEST(SplitAccountReply, FieldsKeepTheBytesReceived) {
  auto fields = SplitAccountReply(
      "Compa\xF1\xED"
      "a;h;u;p\xE9;/");
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->at(0),
            "Compa\xF1\xED"
            "a");
  EXPECT_EQ(fields->at(3), "p\xE9");
  EXPECT_EQ(SplitAccountReply("Año;x")->at(0), "Año");
}

TEST(FirstSixFields, FieldsBeyondTheSixthAreDropped) {
  auto fields = FirstSixFields("Empresa;host:21;usr;pw;/base/;x;extra;more");
  EXPECT_EQ(fields[0], "Empresa");
  EXPECT_EQ(fields[5], "x");
  auto short_reply = FirstSixFields("Empresa;host");
  EXPECT_EQ(short_reply[1], "host");
  EXPECT_EQ(short_reply[2], "");
  EXPECT_EQ(FirstSixFields("")[0], "");
}

TEST(AccountServiceRequests, KeysGoInTheirOrderAndClienteAsStored) {
  std::vector<std::pair<std::string, std::size_t>> sent;
  AccountService service("host:81", [&](const std::string& url, std::size_t max) {
    sent.emplace_back(url, max);
    return std::string("ok");
  });
  EXPECT_EQ(service.LookupAccount("a+b/c=="), "ok");
  service.ReportItem("12 3", "PC1", "AR", "C:\\Datos\\*.xls", "ARC1C001.RAR", "Y");
  service.ReportError("123", "Acme & Co", "PC1", "No existen archivo(s) para comprimir");
  service.NotifySuccess("123", "a@b.example", "PC1");
  service.ListCopies("a+b/c==", "PC 1");
  service.LookupAccount("x", kDownloadReplySize);
  const std::string p = "http://host:81/funciones.php?";
  EXPECT_THAT(
      sent, ElementsAre(
                std::pair{p + "Tipo=3&Clave=a+b/c==", kRunReplySize},
                std::pair{p + "Tipo=4&CL=12%203&NE=PC1&TR=AR&RE=C%3A%5CDatos%5C%2A.xls&CO=ARC1C001.RAR&ED=Y",
                          kRunReplySize},
                std::pair{p + "Tipo=5&CL=123&NO=Acme%20%26%20Co&NE=PC1&ER=No%20existen%20archivo%28s%29%"
                              "20para%20comprimir",
                          kRunReplySize},
                std::pair{p + "Tipo=7&CL=123&MA=a%40b.example&NE=PC1", kRunReplySize},
                std::pair{p + "Tipo=8&Clave=a+b/c==&Equipo=PC%201", std::size_t{1000}},
                std::pair{p + "Tipo=3&Clave=x", std::size_t{100}}));
}

TEST(AccountServiceRequests, AHandEditedClienteCannotAddQueryKeys) {
  std::vector<std::string> sent;
  AccountService service("h", [&](const std::string& url, std::size_t) {
    sent.push_back(url);
    return std::string();
  });
  service.LookupAccount("MTIz&Tipo=7 \r\n");
  service.ListCopies("a+b/=#x", "PC1");
  EXPECT_THAT(sent, ElementsAre("http://h/funciones.php?Tipo=3&Clave=MTIz%26Tipo=7%20%0D%0A",
                                "http://h/funciones.php?Tipo=8&Clave=a+b/=%23x&Equipo=PC1"));
}

TEST(EscapeQueryValue, SendsWindows1252BytesPercentEncoded) {
  EXPECT_EQ(EscapeQueryValue("Conexión €5 +=&?#%"), "Conexi%F3n%20%805%20%2B%3D%26%3F%23%25");
  EXPECT_EQ(EscapeQueryValue("safe-._~AZaz09"), "safe-._~AZaz09");
  EXPECT_EQ(EscapeQueryValue("日"), "%3F");  // not in Windows-1252
}

TEST(ItemNames, DumpAndArchiveNamesCarryIdKindSetAndSlot) {
  EXPECT_EQ(DumpBaseName(5, 1), "BD05C001");
  EXPECT_EQ(DumpBaseName(123, 12), "BD123C012");
  EXPECT_EQ(DumpBaseName(1, 1000), "BD01C1000");
  EXPECT_EQ(FileSetArchiveName("C", 1, 1), "ARC1C001.RAR");
  EXPECT_EQ(FileSetArchiveName("A", 2, 3), "ARA2C003.RAR");
  EXPECT_EQ(FileSetArchiveName("C", 3, 1000), "ARC3C1000.RAR");
}

TEST(NextCopySlot, RotatesThroughTheCopyCount) {
  EXPECT_EQ(NextCopySlot(3, 3), 1);
  EXPECT_EQ(NextCopySlot(1, 3), 2);
  EXPECT_EQ(NextCopySlot(0, 3), 1);
  EXPECT_EQ(NextCopySlot(0, 0), 1);
  EXPECT_EQ(NextCopySlot(5, 3), 1);  // the count was lowered
  EXPECT_EQ(NextCopySlot(-2, 3), 1);
  EXPECT_EQ(NextCopySlot(32766, 32767), 32767);
  EXPECT_EQ(NextCopySlot(32767, 32767), 1);
}

}  // namespace
}  // namespace norvo::test
