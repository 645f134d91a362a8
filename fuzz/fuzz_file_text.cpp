// Decoding of file text: the result is UTF-8 without NUL, and decoding it
// again changes nothing.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "frame/db/OrvText.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    const orvdb::DecodedText d = orvdb::DecodeFileText(in);
    FUZZ_CHECK(orvdb::IsUtf8(d.text));
    FUZZ_CHECK(d.text.find('\0') == std::string::npos);
    FUZZ_CHECK(d.replaced >= 0 && std::size_t(d.replaced) <= size);
    FUZZ_CHECK(d.text.size() <= 3 * size);
    if (orvdb::IsUtf8(in) && in.find('\0') == std::string_view::npos) FUZZ_CHECK(d.text == in && !d.legacy);
    const orvdb::DecodedText again = orvdb::DecodeFileText(d.text);
    FUZZ_CHECK(again.text == d.text && again.replaced == 0 && !again.legacy);
    // The record copy keeps it whole characters.
    char field[17];
    orvdb::CopyText(field, d.text);
    FUZZ_CHECK(orvdb::IsUtf8(field));
    return 0;
}
