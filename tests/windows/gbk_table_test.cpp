// One table of GBK conversions that glibc's iconv and Windows' code page 936 must give alike:
// the same text for the same bytes, the same refusals. Built on every system.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/gbk.h"

namespace {

struct Both {
    const char* utf8;
    const char* gbk;
};

// Both ways, each the other's inverse.
const Both kBoth[] = {
    {"", ""},
    {"ABC 09~", "ABC 09~"},
    {"中文", "\xD6\xD0\xCE\xC4"},
    {"对讲机", "\xB6\xD4\xBD\xB2\xBB\xFA"},
    {"\u20AC", "\x80"},                       // the euro sign, code page 936's single byte
    {"\u00B7\u2014\u2015\u2010", "\xA1\xA4\xA1\xAA\xA8\x44\xA9\x5C"},  // where the two tables once differed
    {"\u3000", "\xA1\xA1"},                   // the ideographic space
    {"\u4E02", "\x81\x40"},                   // the first GBK extension character
};

TEST(GbkTable, ConvertsBothWaysAlike) {
    for (const auto& row : kBoth) {
        EXPECT_EQ(base::Utf8ToGbk(row.utf8), std::optional<std::string>(row.gbk)) << row.utf8;
        EXPECT_EQ(base::GbkToUtf8(row.gbk), std::optional<std::string>(row.utf8)) << row.utf8;
    }
}

TEST(GbkTable, RefusesAlike) {
    const char* const noGbk[] = {
        "\x81",          // a lead byte without its trail byte
        "\xFF",          // no lead byte
        "\xAA\xA1",      // a user-defined area: private use on Windows, nothing in glibc
        "\xA1\x40",      // the same
    };
    for (const char* bytes : noGbk) EXPECT_EQ(base::GbkToUtf8(bytes), std::nullopt) << bytes;
    const char* const noText[] = {
        "\xC3",              // UTF-8 cut short
        "\xED\xA0\x80",      // a surrogate written as UTF-8
        "\u0E01",            // Thai: no GBK form
        "\U0001F600",        // beyond the basic plane
        "\uE000",            // private use
    };
    for (const char* text : noText) EXPECT_EQ(base::Utf8ToGbk(text), std::nullopt) << text;
}

// What comes from the radio goes back byte for byte, valid GBK or not.
TEST(GbkTable, KeptBytesComeBack) {
    const std::string names[] = {"\xD6\xD0\xFF\x81", "\x80\xAA\xA1", std::string("A\0B", 3), "\xFE\xFE\xD6\xD0"};
    for (const auto& bytes : names) EXPECT_EQ(base::Utf8ToGbk(base::GbkBytesToKeptText(bytes)), bytes);
}

}  // namespace
