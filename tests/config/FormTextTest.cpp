// The data-carrying texts of the configuration window.
#include <gtest/gtest.h>

#include "config/services/FormText.h"

namespace norvo::test {
namespace {

using namespace norvo::config;

TEST(ValidarMail, AddressesThatPass) {
  for (const char* address : {"ana@example.com", "ANA.Perez@Example.COM", "  a_b-c@d.e.cl  ", "x1@y2.z3"}) {
    EXPECT_TRUE(Validar_Mail(address)) << address;
  }
}

TEST(ValidarMail, AddressesThatFail) {
  for (const char* address :
       {"", "   ", "ana@example", "ana..p@example.com", "@example.com", "ana@example.com.",
        "ana@@example.com", "ana@b@example.com", "ana perez@example.com", "ana.@example.com",
        "ana@.example.com", "ñandu@example.com", "ana@example.com_", "ana+x@example.com",
        "ana.x@examplecom"}) {
    EXPECT_FALSE(Validar_Mail(address)) << address;
  }
}

TEST(GetPath, UpToTheLastSeparator) {
  EXPECT_EQ(getPath("C:\\Datos\\libro.xlsx", "\\"), "C:\\Datos\\");
  EXPECT_EQ(getPath("/home/ana/x/y.txt", "/"), "/home/ana/x/");
  EXPECT_EQ(getPath("libro.xlsx", "\\"), "");
  EXPECT_EQ(getPath("", "\\"), "");
  EXPECT_EQ(getPath("C:\\x", ""), "");
}

TEST(FileEntry, SingleFileAndFolderLines) {
  const std::string file = JoinFileEntry({"ARC", "C:\\Datos\\", "libro.xlsx", "0"});
  EXPECT_EQ(file, "ARC | C:\\Datos\\ | libro.xlsx | 0");
  const FileSet set = FileSetOfEntry(file);
  EXPECT_EQ(set.tipo, "A");
  EXPECT_EQ(set.ruta, "C:\\Datos\\");
  EXPECT_EQ(set.nom, "libro.xlsx");
  EXPECT_EQ(set.fil, "");
  EXPECT_EQ(set.sub, "0");
  EXPECT_EQ(EntryOfFileSet(set), file);

  const FileSet folder = FileSetOfEntry("CAR | D:\\Datos | *.xlsx | 1");
  EXPECT_EQ(folder.tipo + folder.ruta + "|" + folder.nom + "|" + folder.fil + folder.sub,
            "CD:\\Datos||*.xlsx1");
  EXPECT_EQ(EntryOfFileSet(folder), "CAR | D:\\Datos | *.xlsx | 1");
}

TEST(FileEntry, OddLinesAndSets) {
  const FileSet empty = FileSetOfEntry(" | C:\\x | y | 1");
  EXPECT_EQ(empty.ruta + empty.nom + empty.tipo + empty.sub + empty.fil, "");
  const FileEntry short_line = SplitFileEntry("CAR | /srv");
  EXPECT_EQ(short_line.folder, "/srv");
  EXPECT_EQ(short_line.name + short_line.subfolders, "");
  const FileEntry odd = SplitFileEntry("CAR | /srv/a | b | *.txt | 0");
  EXPECT_EQ(odd.folder, "/srv/a | b");
  EXPECT_EQ(odd.name, "*.txt");
  EXPECT_EQ(EntryOfFileSet(FileSet{}), std::nullopt);
}

TEST(DayText, BuiltAndRead) {
  EXPECT_EQ(DayText({true, false, false, false, true, false, false}), ",MON,FRI,");
  EXPECT_EQ(DayText({false, false, false, false, false, false, true}), ",SUN,");
  EXPECT_EQ(DayText({}), ",");
  EXPECT_TRUE(DayTicked(",MON,FRI,", 4));
  EXPECT_FALSE(DayTicked(",MON,FRI,", 1));
  EXPECT_FALSE(DayTicked("MON", 0));  // a code needs its commas
  EXPECT_FALSE(DayTicked(",MON,", 7));
}

TEST(CopiesBox, TypedCharacters) {
  EXPECT_EQ(FilterCopiesChar('.'), ',');
  for (char passes : {'0', '9', ',', '\b', '\r'}) EXPECT_EQ(FilterCopiesChar(passes), passes);
  for (char dropped : {'a', '-', ' ', '+'}) EXPECT_EQ(FilterCopiesChar(dropped), std::nullopt);
}

TEST(StartTime, Checked) {
  EXPECT_TRUE(IsStartTime("23:30"));
  EXPECT_FALSE(IsStartTime("__:__"));
  EXPECT_FALSE(IsStartTime("25:00"));
}

}  // namespace
}  // namespace norvo::test
