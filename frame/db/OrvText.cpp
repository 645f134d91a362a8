#include "frame/db/OrvText.h"

#include <cstdio>
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

namespace orvdb {

namespace {

// Windows-1252 0x80..0x9F; 0 where the code page defines nothing.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Length of the well-formed UTF-8 sequence at s[i] (Unicode's table 3-7),
// 0 when there is none. ASCII counts as a sequence of one.
std::size_t Utf8SequenceAt(std::string_view s, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80) return 1;
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
    if (c >= 0xC2 && c <= 0xDF) len = 2;
    else if (c == 0xE0) len = 3, lo = 0xA0;
    else if (c == 0xED) len = 3, hi = 0x9F;
    else if (c >= 0xE1 && c <= 0xEF) len = 3;
    else if (c == 0xF0) len = 4, lo = 0x90;
    else if (c == 0xF4) len = 4, hi = 0x8F;
    else if (c >= 0xF1 && c <= 0xF3) len = 4;
    else return 0;
    if (i + len > s.size()) return 0;
    if (b(i + 1) < lo || b(i + 1) > hi) return 0;
    for (std::size_t k = 2; k < len; ++k)
        if (!isContinuation(s[i + k])) return 0;
    return len;
}

}  // namespace

DecodedText DecodeFileText(std::string_view bytes) {
    DecodedText out;
    out.text.reserve(bytes.size() + bytes.size() / 8);
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == 0) {
            AppendUtf8(out.text, kReplacement);
            ++out.replaced;
            ++i;
            continue;
        }
        if (const std::size_t len = Utf8SequenceAt(bytes, i)) {
            out.text.append(bytes.substr(i, len));
            i += len;
            continue;
        }
        const char32_t cp = c >= 0xA0 ? char32_t(c) : char32_t(kCp1252High[c - 0x80]);
        if (cp) {
            out.legacy = true;
            AppendUtf8(out.text, cp);
        } else {
            AppendUtf8(out.text, kReplacement);
            ++out.replaced;
        }
        ++i;
    }
    return out;
}

bool IsUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t len = Utf8SequenceAt(bytes, i);
        if (!len) return false;
        i += len;
    }
    return true;
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
