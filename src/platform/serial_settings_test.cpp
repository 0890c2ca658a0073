#include <gtest/gtest.h>

#include "platform/serial_port.h"

namespace valico {
namespace {

TEST(SerialSettingsTest, TextsThatParse) {
  struct Case {
    const char* text;
    SerialSettings expected;
  };
  const Case cases[] = {
      {"9600,N,8,1", {9600, Parity::kNone, 8, StopBits::kOne}},
      {"4800,E,7,1", {4800, Parity::kEven, 7, StopBits::kOne}},
      {" 19200 , o , 5 , 1.5 ", {19200, Parity::kOdd, 5, StopBits::kOnePointFive}},
      {"1200,M,6,2", {1200, Parity::kMark, 6, StopBits::kTwo}},
      {"2400,s,8,2", {2400, Parity::kSpace, 8, StopBits::kTwo}},
  };
  for (const Case& c : cases) {
    SerialSettings s;
    std::string err;
    EXPECT_TRUE(ParseSerialSettings(c.text, &s, &err)) << c.text << ": " << err;
    EXPECT_EQ(s, c.expected) << c.text;
  }
}

TEST(SerialSettingsTest, TextsThatDoNotParseNameTheField) {
  struct Case {
    const char* text;
    const char* field;
  };
  const Case cases[] = {
      {"", "expected"},
      {"9600,N,8", "expected"},
      {"9600,N,8,1,x", "expected"},
      {"fast,N,8,1", "baud"},
      {"-9600,N,8,1", "baud"},
      {"9600,X,8,1", "parity"},
      {"9600,NN,8,1", "parity"},
      {"9600,N,9,1", "data bits"},
      {"9600,N,4,1", "data bits"},
      {"9600,N,8,3", "stop bits"},
      {"9600,N,8,", "stop bits"},
      {"99999999999999999999,N,8,1", "baud"},
  };
  for (const Case& c : cases) {
    SerialSettings s{1, Parity::kOdd, 5, StopBits::kTwo};
    SerialSettings before = s;
    std::string err;
    EXPECT_FALSE(ParseSerialSettings(c.text, &s, &err)) << c.text;
    EXPECT_NE(err.find(c.field), std::string::npos) << c.text << ": " << err;
    EXPECT_EQ(s, before) << "unchanged on failure";
  }
}

}  // namespace
}  // namespace valico
