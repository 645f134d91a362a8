// Supplier listing lines: any bytes give eight UTF-8 fields within their
// widths (in characters), so nothing a file holds reaches SQL undecoded.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "frame/db/OrvText.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzQt.h"
#include "promozioni/import/ImportSigma.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    promofuzz::QuietQtLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static constexpr std::size_t kWidth[8] = {14, 50, 6, 6, 10, 10, 14, 31};
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const promo::SigmaRecord r = promo::ParseSigmaLine(line);
    FUZZ_CHECK(r.replaced >= 0 && std::size_t(r.replaced) <= size);
    for (int f = 0; f < 8; ++f) {
        const std::string& s = r.field[f];
        FUZZ_CHECK(orvdb::IsUtf8(s));
        FUZZ_CHECK(s.find('\0') == std::string::npos);
        std::size_t chars = 0;
        for (const char c : s) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        FUZZ_CHECK(chars <= kWidth[f]);
        // Trimmed; the number fields are trimmed before strnocomma, which
        // may leave a blank it uncovers.
        if (f <= 1 || f == 7) FUZZ_CHECK(s.empty() || (s.front() != ' ' && s.back() != ' '));
    }
    return 0;
}
