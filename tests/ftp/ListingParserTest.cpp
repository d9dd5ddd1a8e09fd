#include <gtest/gtest.h>

#include "ftp/FileTime.h"
#include "ftp/ListingParser.h"
#include "ftp/Pattern.h"
#include "ftp/RemoteFileSize.h"

namespace norvo::test {
namespace {

using namespace norvo::ftp;

// 7 December 2026 12:00 UTC, the "now" of the Unix listings below.
const std::time_t kNow = UnixFromFileTime(FileTimeFromUtc(2026, 12, 7, 12, 0, 0));

TEST(MlsdLines, FactsNamesAndTypes) {
  auto file = ParseMlsdLine("modify=20261207064538;perm=radfwMT;size=12;type=file;unique=fe00g; x y.txt\r");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->name, "x y.txt");
  EXPECT_EQ(file->size, 12);
  EXPECT_EQ(file->attributes, kAttrNormal);
  EXPECT_EQ(file->last_write_time, FileTimeFromUtc(2026, 12, 7, 6, 45, 38));
  EXPECT_EQ(file->creation_time, file->last_write_time);
  EXPECT_EQ(file->last_access_time, file->last_write_time);

  auto dir = ParseMlsdLine("Type=DIR;Modify=20250101000000.123;Create=20240202101010; a;b c ");
  ASSERT_TRUE(dir);
  EXPECT_EQ(dir->name, "a;b c ");
  EXPECT_EQ(dir->attributes, kAttrDirectory);
  EXPECT_EQ(dir->creation_time, FileTimeFromUtc(2024, 2, 2, 10, 10, 10));

  auto big = ParseMlsdLine("type=file;size=5368709120; big.rar");
  ASSERT_TRUE(big);
  EXPECT_EQ(big->size, 5368709120LL);
  EXPECT_EQ(big->last_write_time, 0u);
}

TEST(MlsdLines, FolderItselfParentAndJunkGiveNothing) {
  EXPECT_FALSE(ParseMlsdLine("type=cdir;modify=20261207064538; /x"));
  EXPECT_FALSE(ParseMlsdLine("type=pdir;modify=20261207064538; .."));
  EXPECT_FALSE(ParseMlsdLine("type=file; ."));
  EXPECT_FALSE(ParseMlsdLine("nospace"));
  EXPECT_FALSE(ParseMlsdLine(""));
  auto odd = ParseMlsdLine("size=12x;modify=2026;junk; odd");
  ASSERT_TRUE(odd);  // unusable facts are left out, the name stays
  EXPECT_EQ(odd->size, 0);
  EXPECT_EQ(odd->last_write_time, 0u);
}

// Found by fuzzing: two listing lines given as one were taken as an MLSD
// entry whose name held the line end and the whole second line.
TEST(MlsdLines, LinesRunTogetherAreNoEntry) {
  const std::string joined = "total 8\r\nlrwxrwxrwx 1 a a 4 Dec 07 05:56 link -> target\r\n";
  EXPECT_FALSE(ParseMlsdLine(joined));
  EXPECT_FALSE(ParseMlsdLine("type=file;size=1; a\nb"));
  EXPECT_FALSE(ParseMlsdLine("type=file;size=1 name"));  // facts must end in ";"
  EXPECT_FALSE(ParseUnixListLine("-rw-r--r-- 1 a a 4 Dec 07 05:56 a\rb", 0));
  EXPECT_FALSE(ParseDosListLine(std::string("12-07-26  05:56AM  600 a\0b", 27)));
}

TEST(UnixLines, BothDateFormsBlanksAndColumns) {
  // pyftpdlib
  auto recent = ParseUnixListLine("-rw-r--r--   1 root     root         1234 Dec 07 06:45 x y.txt", kNow);
  ASSERT_TRUE(recent);
  EXPECT_EQ(recent->name, "x y.txt");
  EXPECT_EQ(recent->size, 1234);
  EXPECT_EQ(recent->last_write_time, FileTimeFromUtc(2026, 12, 7, 6, 45, 0));
  // vsftpd, older file: year form, two blanks before the year
  auto old =
      ParseUnixListLine("-rw-------    1 1000     1000     5368709120 Mar  3  2024 BD05C001.RAR", kNow);
  ASSERT_TRUE(old);
  EXPECT_EQ(old->name, "BD05C001.RAR");
  EXPECT_EQ(old->size, 5368709120LL);
  EXPECT_EQ(old->last_write_time, FileTimeFromUtc(2024, 3, 3, 0, 0, 0));
  // no group column; a name with leading and double blanks
  auto owner_only = ParseUnixListLine("drwxr-xr-x 2 ftp 4096 Jan 15 2025  two  blanks", kNow);
  ASSERT_TRUE(owner_only);
  EXPECT_EQ(owner_only->name, " two  blanks");
  EXPECT_EQ(owner_only->attributes, kAttrDirectory);
  // a name that itself looks like a date
  auto tricky = ParseUnixListLine("-rw-r--r-- 1 u g 7 Feb  1 10:00 Jan 2 2020 notes", kNow);
  ASSERT_TRUE(tricky);
  EXPECT_EQ(tricky->name, "Jan 2 2020 notes");
}

TEST(UnixLines, RecentDatesAheadOfNowBelongToLastYear) {
  auto december = ParseUnixListLine("-rw-r--r-- 1 u g 1 Dec 20 10:00 f", kNow - 0);
  ASSERT_TRUE(december);
  EXPECT_EQ(december->last_write_time, FileTimeFromUtc(2025, 12, 20, 10, 0, 0));
  const std::time_t january = UnixFromFileTime(FileTimeFromUtc(2027, 1, 5, 0, 0, 0));
  auto late = ParseUnixListLine("-rw-r--r-- 1 u g 1 Dec 30 23:59 f", january);
  ASSERT_TRUE(late);
  EXPECT_EQ(late->last_write_time, FileTimeFromUtc(2026, 12, 30, 23, 59, 0));
  // 29 February in a "Mon dd hh:mm" line of a non-leap year goes to a year that has it
  auto leap = ParseUnixListLine("-rw-r--r-- 1 u g 1 Feb 29 10:00 f",
                                UnixFromFileTime(FileTimeFromUtc(2025, 3, 1, 0, 0, 0)));
  ASSERT_TRUE(leap);
  EXPECT_EQ(leap->last_write_time, FileTimeFromUtc(2024, 2, 29, 10, 0, 0));
}

TEST(UnixLines, SymlinksTotalsDotsAndJunk) {
  auto link = ParseUnixListLine("lrwxrwxrwx 1 root root 7 Dec 01 10:00 latest -> BD05C001.RAR", kNow);
  ASSERT_TRUE(link);
  EXPECT_EQ(link->name, "latest");
  EXPECT_FALSE(ParseUnixListLine("total 24", kNow));
  EXPECT_FALSE(ParseUnixListLine("drwxr-xr-x 2 u g 4096 Dec 01 10:00 .", kNow));
  EXPECT_FALSE(ParseUnixListLine("drwxr-xr-x 2 u g 4096 Dec 01 10:00 ..", kNow));
  EXPECT_FALSE(ParseUnixListLine("-rw-r--r-- 1 u g 12 Foo 01 10:00 f", kNow));
  EXPECT_FALSE(ParseUnixListLine("-rw-r--r-- 1 u g 12 Dec 01 10:00", kNow));
  EXPECT_FALSE(ParseUnixListLine("hello world this is not a listing line", kNow));
  EXPECT_FALSE(ParseUnixListLine("", kNow));
}

TEST(DosLines, DirectoriesSizesAndClock) {
  auto dir = ParseDosListLine("12-07-26  05:56AM       <DIR>          Respaldos Viejos");
  ASSERT_TRUE(dir);
  EXPECT_EQ(dir->name, "Respaldos Viejos");
  EXPECT_EQ(dir->attributes, kAttrDirectory);
  EXPECT_EQ(dir->last_write_time, FileTimeFromUtc(2026, 12, 7, 5, 56, 0));
  auto file = ParseDosListLine("01-31-1999  12:05PM             5368709120 ARC1C001.RAR\r");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->size, 5368709120LL);
  EXPECT_EQ(file->name, "ARC1C001.RAR");
  EXPECT_EQ(file->last_write_time, FileTimeFromUtc(1999, 1, 31, 12, 5, 0));
  auto midnight = ParseDosListLine("02-01-99  12:30AM  10 a");
  ASSERT_TRUE(midnight);
  EXPECT_EQ(midnight->last_write_time, FileTimeFromUtc(1999, 2, 1, 0, 30, 0));
  EXPECT_FALSE(ParseDosListLine("12-07-26  13:56PM  10 a"));
  EXPECT_FALSE(ParseDosListLine("12/07/26  05:56AM  10 a"));
  EXPECT_FALSE(ParseDosListLine("12-07-26  05:56AM  <DIR>"));
}

TEST(Listings, WholeTextsOfEveryDialect) {
  const char* vsftpd =
      "total 8\r\n"
      "drwxr-xr-x    2 1000     1000         4096 Dec 01 10:00 sub\r\n"
      "-rw-r--r--    1 1000     1000          600 Dec 01 10:01 a.RAR\r\n"
      "\r\n";
  auto entries = ParseListing(vsftpd, false, kNow);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "sub");
  EXPECT_EQ(entries[1].size, 600);
  auto iis = ParseListing("12-07-26  05:56AM       <DIR>          x\n12-07-26  05:56AM  3 y", false, kNow);
  ASSERT_EQ(iis.size(), 2u);
  EXPECT_EQ(iis[1].name, "y");
  auto mlsd = ParseListing("type=cdir; /\r\ntype=file;size=1; z\r\n", true, kNow);
  ASSERT_EQ(mlsd.size(), 1u);
  EXPECT_EQ(mlsd[0].name, "z");
}

TEST(Patterns, CaseInsensitiveWildcards) {
  EXPECT_TRUE(MatchesPattern("*.RAR", "bd05c001.rar"));
  EXPECT_TRUE(MatchesPattern("*.rar", "X.RAR"));
  EXPECT_FALSE(MatchesPattern("*.RAR", "x.rar.txt"));
  EXPECT_FALSE(MatchesPattern("*.RAR", "xrar"));
  EXPECT_TRUE(MatchesPattern("a?b.txt", "a b.txt"));
  EXPECT_FALSE(MatchesPattern("a?b.txt", "ab.txt"));
  EXPECT_TRUE(MatchesPattern("*", "anything"));
  EXPECT_TRUE(MatchesPattern("*.*", "noextension"));
  EXPECT_TRUE(MatchesPattern("", "x"));
  EXPECT_TRUE(MatchesPattern("ExAcT", "exact"));
  EXPECT_FALSE(MatchesPattern("exact", "exact2"));
  EXPECT_TRUE(MatchesPattern("*a*b*c", "xxaxxbxxbc"));
  EXPECT_FALSE(MatchesPattern(std::string(40, '*') + "b", std::string(5000, 'a')));
}

TEST(FileTimes, InvalidDatesGiveZeroAndUnixTimesRoundTrip) {
  EXPECT_EQ(FileTimeFromUtc(2025, 2, 29, 0, 0, 0), 0u);
  EXPECT_EQ(FileTimeFromUtc(2026, 13, 1, 0, 0, 0), 0u);
  EXPECT_EQ(UnixFromFileTime(FileTimeFromUnix(1765000000)), 1765000000);
}

#ifndef _WIN32
// TZ chooses the zone for the POSIX C library; Windows takes it from its own settings.
TEST(FileTimes, AutomationDatesInLocalTime) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_DOUBLE_EQ(FileTimeToDate(FileTimeFromUtc(1899, 12, 30, 0, 0, 0)), 0.0);
  EXPECT_DOUBLE_EQ(FileTimeToDate(FileTimeFromUtc(1900, 1, 1, 12, 0, 0)), 2.5);
  EXPECT_DOUBLE_EQ(FileTimeToDate(FileTimeFromUtc(2026, 12, 7, 18, 0, 0)), 46363.75);
  setenv("TZ", "XXX3", 1);  // three hours behind UTC, no summer time
  tzset();
  EXPECT_DOUBLE_EQ(FileTimeToDate(FileTimeFromUtc(2026, 12, 7, 18, 0, 0)), 46363.625);
  EXPECT_DOUBLE_EQ(FileTimeToDate(0), 0.0);
  unsetenv("TZ");
  tzset();
}
#endif

TEST(FileSizeIn, TheFileOfExactlyThatNameAndNeverAFolder) {
  const std::vector<FindData> entries = ParseListing(
      "type=dir;size=4096; copia.RAR\r\ntype=file;size=10; COPIA.RAR\r\ntype=file;size=7; copia.TMP\r\n",
      true, kNow);
  EXPECT_EQ(FileSizeIn(entries, "copia.TMP"), 7);
  EXPECT_EQ(FileSizeIn(entries, "COPIA.RAR"), 10);
  EXPECT_EQ(FileSizeIn(entries, "copia.RAR"), std::nullopt);
}

}  // namespace
}  // namespace norvo::test
