#include <gtest/gtest.h>

#include "settings/Base64.h"

namespace norvo::test {
namespace {

using namespace norvo::settings;

std::string DecodeError(std::string_view text) {
  try {
    DecodeBase64(text);
  } catch (const Base64Error& e) {
    EXPECT_EQ(e.number(), 0x80040000u);
    return e.what();
  }
  return "";
}

TEST(Base64, EncodesWithPaddingForShortGroups) {
  EXPECT_EQ(EncodeSetting("abc"), "YWJj");
  EXPECT_EQ(EncodeSetting("ab"), "YWI=");
  EXPECT_EQ(EncodeSetting("a"), "YQ==");
  EXPECT_EQ(EncodeSetting(""), "");
  EXPECT_EQ(EncodeSetting("123"), "MTIz");
  EXPECT_EQ(EncodeBase64({0xFB, 0xFF}), "+/8=");
}

TEST(Base64, DecodesWhatItEncodes) {
  for (std::string text : {"x", "OFICINA", "usuario con blancos", "p@ss;w=rd{}", "ñandú"}) {
    EXPECT_EQ(DecodeSetting(EncodeSetting(text)), text);
  }
  EXPECT_EQ(DecodeBase64("YWI="), (Bytes{'a', 'b'}));
  EXPECT_EQ(DecodeSetting(""), "");
}

TEST(Base64, TakesOneBytePerCharacterNotPerUtf8Byte) {
  EXPECT_EQ(TextToBytes("ñ"), (Bytes{0xF1}));
  EXPECT_EQ(EncodeSetting("ñ"), "8Q==");
  EXPECT_EQ(DecodeSetting("8Q=="), "ñ");
  // A character beyond Latin-1 is stored as "?".
  EXPECT_EQ(TextToBytes("a€b"), (Bytes{'a', '?', 'b'}));
  EXPECT_EQ(EncodeSetting("€"), EncodeSetting("?"));
}

TEST(Base64, RefusesBadInputWithTheTwoMessages) {
  EXPECT_EQ(DecodeError("YWJ"), kBase64LengthError);
  EXPECT_EQ(DecodeError("YW*j"), kBase64CharacterError);
  EXPECT_EQ(DecodeError("YWñj"), kBase64CharacterError);  // code 241 is outside the alphabet
  EXPECT_EQ(DecodeError("Y WJ"), kBase64CharacterError);
  EXPECT_EQ(DecodeError("YQ=j"), kBase64CharacterError);  // "=" only pads at the end
  EXPECT_EQ(std::string(kBase64LengthError), "Length of Base64 encoded input string is not a multiple of 4.");
  EXPECT_EQ(std::string(kBase64CharacterError), "Illegal character in Base64 encoded data.");
}

TEST(Base64, DropsEveryTrailingPadCharacter) {
  // All "=" at the end are dropped, not only two; "====" decodes to nothing.
  EXPECT_TRUE(DecodeBase64("====").empty());
  EXPECT_EQ(DecodeBase64("YQ=="), (Bytes{'a'}));
  // "Y===": one data character gives (1*3)/4 = 0 bytes.
  EXPECT_TRUE(DecodeBase64("Y===").empty());
}

TEST(Base64, AStoredValueThatIsDamagedDecodesToNothingWithTheReason) {
  std::string error;
  EXPECT_EQ(DecodeStoredSetting("MTIz", &error), "123");
  EXPECT_EQ(DecodeStoredSetting("MTI", &error), std::nullopt);
  EXPECT_EQ(error, kBase64LengthError);
}

}  // namespace
}  // namespace norvo::test
