#include <gtest/gtest.h>

#include "platform/serial_port.h"

namespace valico {
namespace {

// A text that parses gives its settings; one that does not names the field and changes nothing.
TEST(SerialSettingsTest, TextsParseOrNameTheWrongField) {
  const SerialSettings untouched{1, Parity::kOdd, 5, StopBits::kTwo};
  struct Case {
    const char* text;
    SerialSettings expected;
    const char* field;  // null: the text parses
  };
  const Case cases[] = {
      {"9600,N,8,1", {9600, Parity::kNone, 8, StopBits::kOne}, nullptr},
      {"4800,E,7,1", {4800, Parity::kEven, 7, StopBits::kOne}, nullptr},
      {" 19200 , o , 5 , 1.5 ", {19200, Parity::kOdd, 5, StopBits::kOnePointFive}, nullptr},
      {"1200,M,6,2", {1200, Parity::kMark, 6, StopBits::kTwo}, nullptr},
      {"2400,s,8,2", {2400, Parity::kSpace, 8, StopBits::kTwo}, nullptr},
      {"", untouched, "expected"},
      {"9600,N,8", untouched, "expected"},
      {"9600,N,8,1,x", untouched, "expected"},
      {"fast,N,8,1", untouched, "baud"},
      {"-9600,N,8,1", untouched, "baud"},
      {"99999999999999999999,N,8,1", untouched, "baud"},
      {"9600,X,8,1", untouched, "parity"},
      {"9600,NN,8,1", untouched, "parity"},
      {"9600,N,9,1", untouched, "data bits"},
      {"9600,N,4,1", untouched, "data bits"},
      {"9600,N,8,3", untouched, "stop bits"},
      {"9600,N,8,", untouched, "stop bits"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    SerialSettings s = untouched;
    std::string err;
    EXPECT_EQ(ParseSerialSettings(c.text, &s, &err), c.field == nullptr) << err;
    EXPECT_EQ(s, c.expected);
    if (c.field) {
      EXPECT_NE(err.find(c.field), std::string::npos) << err;
    }
  }
}

}  // namespace
}  // namespace valico
