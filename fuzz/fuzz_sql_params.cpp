// The ":name" rewriting of statement texts: names are identifiers, each
// once, and a rewritten text has none left to rewrite.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "frame/db/SQLAPI.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    const sa::Rewritten r = sa::RewriteNamedParams(in);
    FUZZ_CHECK(r.names.size() <= size / 2);
    for (std::size_t i = 0; i < r.names.size(); ++i) {
        const std::string& n = r.names[i];
        FUZZ_CHECK(!n.empty() && !(n[0] >= '0' && n[0] <= '9'));
        for (const char c : n)
            FUZZ_CHECK((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_');
        for (std::size_t k = 0; k < i; ++k) FUZZ_CHECK(r.names[k] != n);
    }
    FUZZ_CHECK(sa::RewriteNamedParams(r.sql).names.empty());
    return 0;
}
