#include "settings/typed_value.h"

#include <gtest/gtest.h>

namespace valico {
namespace {

using TV = TypedValue;

TEST(TypedValueTest, StoredTextsConvertAsTheTypedReadSays) {
  Regional it = RegionalFor("it_IT.UTF-8");
  Regional en = RegionalFor("C");
  struct Case {
    const char* stored;
    TV italian;
    TV english;
  };
  const Case cases[] = {
      {"Vero", TV::FromFlag(true), TV::FromFlag(true)},
      {"True", TV::FromFlag(true), TV::FromFlag(true)},
      {"-1", TV::FromFlag(true), TV::FromFlag(true)},
      {"Falso", TV::FromFlag(false), TV::FromFlag(false)},
      {"False", TV::FromFlag(false), TV::FromFlag(false)},
      {"0", TV::FromFlag(false), TV::FromFlag(false)},
      {"VERO", TV::FromText("VERO"), TV::FromText("VERO")},
      {"true", TV::FromText("true"), TV::FromText("true")},
      {"9600", TV::FromInt(9600), TV::FromInt(9600)},
      {"0600", TV::FromText("0600"), TV::FromText("0600")},
      {"01", TV::FromText("01"), TV::FromText("01")},
      {"-5", TV::FromText("-5"), TV::FromText("-5")},
      {"12,5", TV::FromNumber({125000}), TV::FromInt(125)},
      {"1.234,5", TV::FromNumber({12345000}), TV::FromText("1.234,5")},
      {"12,5,3", TV::FromText("12,5,3"), TV::FromInt(1253)},
      {"", TV::FromText(""), TV::FromText("")},
      {",", TV::FromText(","), TV::FromText(",")},
      {"1,00005", TV::FromNumber({10000}), TV::FromInt(100005)},
      {"1,00015", TV::FromNumber({10002}), TV::FromInt(100015)},
      {"99999999999999999999", TV::FromText("99999999999999999999"),
       TV::FromText("99999999999999999999")},
      {"abc", TV::FromText("abc"), TV::FromText("abc")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConvertStoredText(c.stored, it), c.italian) << c.stored;
    EXPECT_EQ(ConvertStoredText(c.stored, en), c.english) << c.stored;
  }
}

TEST(TypedValueTest, ConversionsToTextIntegerAndFlag) {
  Regional it = RegionalFor("it");
  EXPECT_EQ(TV::FromNumber({125000}).ToText(it), "12,5");
  EXPECT_EQ(TV::FromNumber({-35000}).ToText(it), "-3,5");
  EXPECT_EQ(TV::FromNumber({-35000}).ToText(Regional{}), "-3.5");
  EXPECT_EQ(TV::FromInt(9600).ToText(it), "9600");
  EXPECT_EQ(TV::FromNumber({std::numeric_limits<int64_t>::min()}).ToText(it),
            "-922337203685477,5808");
  EXPECT_EQ(TV::FromFlag(true).ToText(it), "-1");
  EXPECT_EQ(TV::Null().ToText(it), "");

  EXPECT_EQ(TV::FromNumber({125000}).ToInt16(it), 12) << "half to even";
  EXPECT_EQ(TV::FromNumber({135000}).ToInt16(it), 14);
  EXPECT_EQ(TV::FromText(" 20 ").ToInt16(it), 20);
  EXPECT_EQ(TV::FromText("abc").ToInt16(it), std::nullopt);
  EXPECT_EQ(TV::FromInt(40000).ToInt16(it), std::nullopt);
  EXPECT_EQ(TV::Null().ToInt16(it), std::nullopt);

  EXPECT_TRUE(TV::FromFlag(true).IsTrue());
  EXPECT_TRUE(TV::FromInt(2).IsTrue());
  EXPECT_FALSE(TV::FromInt(0).IsTrue());
  EXPECT_FALSE(TV::FromText("abc").IsTrue());
}

TEST(TypedValueTest, NumeroAndVuoto) {
  EXPECT_TRUE(IsNumero(""));
  EXPECT_TRUE(IsNumero("12,5"));
  EXPECT_TRUE(IsNumero(".,"));
  EXPECT_FALSE(IsNumero("05"));
  EXPECT_FALSE(IsNumero("-5"));
  EXPECT_FALSE(IsNumero("1a"));
  EXPECT_TRUE(IsVuoto("  \t"));
  EXPECT_FALSE(IsVuoto(" x "));
  EXPECT_TRUE(IsVuoto(TV::Null(), Regional{}));
  EXPECT_FALSE(IsVuoto(TV::FromFlag(false), Regional{}));
}

TEST(TypedValueTest, LocaleNumbersWithSignAndBlanks) {
  Regional it = RegionalFor("it");
  EXPECT_EQ(ParseTenThousandths(" -0,5 ", it), -5000);
  EXPECT_EQ(ParseTenThousandths("+2,7", it), 27000);
  EXPECT_EQ(ParseTenThousandths("-", it), std::nullopt);
  EXPECT_EQ(ParseTenThousandths("1 2", it), std::nullopt);
  EXPECT_EQ(ParseTenThousandths("922337203685477,5807", it), INT64_MAX);
  EXPECT_EQ(ParseTenThousandths("922337203685477,5808", it), std::nullopt);
}

}  // namespace
}  // namespace valico
