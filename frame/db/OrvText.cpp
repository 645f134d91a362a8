#include "frame/db/OrvText.h"

#include <cstring>

namespace orvdb {

namespace {
bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
}  // namespace

std::size_t Utf8Fit(std::string_view src, std::size_t maxBytes) {
    if (src.size() <= maxBytes) return src.size();
    // src[cut] is the first byte left out; when it continues a character,
    // that character's leading bytes go too (at most 3 in UTF-8).
    const std::size_t cut = maxBytes;
    std::size_t n = cut;
    while (n > 0 && cut - n < 3 && isContinuation(src[n])) --n;
    if (isContinuation(src[cut]) && static_cast<unsigned char>(src[n]) < 0xC0) n = cut;  // not UTF-8
    return n;
}

void CopyText(char* dst, std::size_t size, std::string_view src) {
    if (!dst || size == 0) return;
    std::size_t n = Utf8Fit(src, size - 1);
    if (n) std::memcpy(dst, src.data(), n);
    std::memset(dst + n, 0, size - n);
}

}  // namespace orvdb

int ReadLine(std::FILE* file, char* buf, int size) {
    if (!file || size <= 0) return -1;
    int n = 0;
    int c = 0;
    bool any = false;
    while ((c = std::fgetc(file)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (c == '\r') continue;
        if (n < size - 1) buf[n++] = static_cast<char>(c);
    }
    buf[n] = 0;
    if (!any && c == EOF) return -1;
    return n;
}
