#include "settings/typed_value.h"

#include <gtest/gtest.h>

namespace valico {
namespace {

using TV = TypedValue;

TEST(TypedValueTest, StoredTextsConvertAsTheTypedReadSays) {
  Regional it = RegionalFor("it_IT.UTF-8");
  Regional en = RegionalFor("C");
  for (const Regional& r : {it, en}) {
    for (const char* s : {"Vero", "True", "-1"})
      EXPECT_EQ(ConvertStoredText(s, r), TV::FromFlag(true)) << s;
    for (const char* s : {"Falso", "False", "0"})
      EXPECT_EQ(ConvertStoredText(s, r), TV::FromFlag(false)) << s;
    for (const char* s :
         {"VERO", "true", "0600", "01", "-5", "", ",", "99999999999999999999", "abc"})
      EXPECT_EQ(ConvertStoredText(s, r), TV::FromText(s)) << s;
    EXPECT_EQ(ConvertStoredText("9600", r), TV::FromInt(9600));
  }
  // Where the decimal separator decides.
  struct Case {
    const char* stored;
    TV italian;
    TV english;
  };
  const Case cases[] = {
      {"12,5", TV::FromNumber({125000}), TV::FromInt(125)},
      {"1.234,5", TV::FromNumber({12345000}), TV::FromText("1.234,5")},
      {"12,5,3", TV::FromText("12,5,3"), TV::FromInt(1253)},
      {"1,00005", TV::FromNumber({10000}), TV::FromInt(100005)},
      {"1,00015", TV::FromNumber({10002}), TV::FromInt(100015)},
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

  for (TV v : {TV::FromFlag(true), TV::FromInt(2)}) EXPECT_TRUE(v.IsTrue());
  for (TV v : {TV::FromInt(0), TV::FromText("abc")}) EXPECT_FALSE(v.IsTrue());
}

TEST(TypedValueTest, NumeroAndVuoto) {
  for (const char* s : {"", "12,5", ".,"}) EXPECT_TRUE(IsNumero(s)) << s;
  for (const char* s : {"05", "-5", "1a"}) EXPECT_FALSE(IsNumero(s)) << s;
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
