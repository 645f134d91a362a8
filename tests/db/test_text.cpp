// Text read from files on its way to the database: UTF-8 kept, Windows-1252
// read, the rest replaced and counted.
#include <string>

#include <gtest/gtest.h>

#include "frame/db/OrvText.h"

namespace {

TEST(DecodeFileText, Utf8KeptLegacyReadTheRestReplaced) {
    const std::string fffd = "\xEF\xBF\xBD";
    const struct { std::string in, out; int replaced; bool legacy; } cases[] = {
        {"", "", 0, false},
        {"CAFFE' 250g\t1,20", "CAFFE' 250g\t1,20", 0, false},
        {"citt\xC3\xA0 \xE2\x82\xAC 5", "citt\xC3\xA0 \xE2\x82\xAC 5", 0, false},  // UTF-8 as it is
        {"citt\xE0", "citt\xC3\xA0", 0, true},                                  // 1252 a-grave
        {"\x80 5 \x93x\x94", "\xE2\x82\xAC 5 \xE2\x80\x9Cx\xE2\x80\x9D", 0, true},  // euro, curly quotes
        {"\xC3\xA0 e \xE0", "\xC3\xA0 e \xC3\xA0", 0, true},                     // both in one line
        {"a\x81z", "a" + fffd + "z", 1, false},                                 // undefined in 1252
        {"\x8D\x8F\x90\x9D", fffd + fffd + fffd + fffd, 4, false},
        {std::string("a\0b", 3), "a" + fffd + "b", 1, false},                  // NUL cannot be stored
        {"\xC3", "\xC3\x83", 0, true},                                          // cut sequence: a lone byte
        {"\xC0\xAF", "\xC3\x80\xC2\xAF", 0, true},                              // overlong '/' is not UTF-8
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC", 0, true},              // surrogate
        {"\xF4\x90\x80\x80", "\xC3\xB4" + fffd + "\xE2\x82\xAC\xE2\x82\xAC", 1, true},  // above U+10FFFF
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", 0, false},                     // 4-byte UTF-8
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        const orvdb::DecodedText d = orvdb::DecodeFileText(c.in);
        EXPECT_EQ(d.text, c.out);
        EXPECT_EQ(d.replaced, c.replaced);
        EXPECT_EQ(d.legacy, c.legacy);
        EXPECT_TRUE(orvdb::IsUtf8(d.text));
        // NUL is well-formed UTF-8, replaced only for the database's sake.
        EXPECT_EQ(orvdb::IsUtf8(c.in), c.out == c.in || c.in.find('\0') != std::string::npos);
    }
}

}  // namespace
