// Terminal reading lines: any bytes, in either layout, give a code and a
// quantity in UTF-8 within their widths, trimmed; only a separated line
// without "|" is refused.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "frame/db/OrvText.h"
#include "fuzz/FuzzCheck.h"
#include "promozioni/import/ReadingLine.h"

namespace {
std::size_t Chars(const std::string& s) {
    std::size_t n = 0;
    for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    for (const int kind : {5, 8}) {
        const auto r = promo::ParseReadingLine(line, kind);
        if (kind == 8) FUZZ_CHECK(r.has_value());
        if (!r) {
            const std::string_view read = line.substr(0, promo::kReadingLineMax);
            FUZZ_CHECK(read.empty() || read.substr(1).find('|') == std::string_view::npos);
            continue;
        }
        for (const std::string* s : {&r->code, &r->qty}) {
            FUZZ_CHECK(orvdb::IsUtf8(*s));
            FUZZ_CHECK(s->find('\0') == std::string::npos);
            FUZZ_CHECK(s->empty() || (s->front() != ' ' && s->back() != ' '));
        }
        FUZZ_CHECK(Chars(r->code) <= (kind == 8 ? 13u : 15u));
        FUZZ_CHECK(Chars(r->qty) <= (kind == 8 ? 5u : 10u));
    }
    return 0;
}
