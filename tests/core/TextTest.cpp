#include <gtest/gtest.h>

#include "quenlor/Text.h"

namespace quenlor {
namespace {

TEST(Text, Utf8RoundTrip) {
    const std::wstring text = L"Quenlor转换器 ü \u2603 \U0001F600";
    const std::string utf8 = ToUtf8(text);
    EXPECT_EQ(utf8,
              "Quenlor\xe8\xbd\xac\xe6\x8d\xa2\xe5\x99\xa8 \xc3\xbc \xe2\x98\x83 \xf0\x9f\x98\x80");
    EXPECT_EQ(FromUtf8(utf8), text);
}

TEST(Text, InvalidBytesSurviveTheRoundTrip) {
    for (const std::string& raw : {std::string("caf\xe9"), std::string("\xff\xfe"),
                                   std::string("\xc0\xaf"),      // overlong "/"
                                   std::string("\xed\xa0\x80"),  // encoded surrogate
                                   std::string("\xe6\x8d"),      // truncated sequence
                                   std::string("a\x80"
                                               "b")}) {
        SCOPED_TRACE(::testing::PrintToString(raw));
        const std::wstring wide = FromUtf8(raw);
        EXPECT_EQ(ToUtf8(wide), raw);
        EXPECT_EQ(wide.find(L'/'), std::wstring::npos) << "no byte may turn into a separator";
    }
}

TEST(Text, Decimal) {
    EXPECT_EQ(Decimal(0), L"0");
    EXPECT_EQ(Decimal(int64_t{-42}), L"-42");
    EXPECT_EQ(Decimal(uint64_t{18446744073709551615u}), L"18446744073709551615");
    EXPECT_EQ(Decimal(INT64_MIN), L"-9223372036854775808");
}

}  // namespace
}  // namespace quenlor
