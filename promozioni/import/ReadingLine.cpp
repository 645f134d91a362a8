#include "promozioni/import/ReadingLine.h"

#include <algorithm>

#include "frame/db/OrvText.h"

namespace promo {

namespace {

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// Fields are cut by bytes, as the terminals write them, then decoded.
std::string Field(std::string_view s, std::size_t from, std::size_t count) {
    if (from >= s.size()) return {};
    return orvdb::DecodeFileText(Trim(s.substr(from, count))).text;
}

}  // namespace

std::optional<Reading> ParseReadingLine(std::string_view line, int kind) {
    line = line.substr(0, kReadingLineMax);
    Reading r;
    if (kind == 8) {
        r.code = Field(line, 0, 13);
        r.qty = Field(line, 13, 5);
        return r;
    }
    std::string s(line);
    if (!s.empty() && s.front() == '|') {
        s.front() = ' ';
        s = std::string(Trim(s));
    }
    const std::size_t bar = s.find('|');
    if (bar == std::string::npos) return std::nullopt;
    r.code = Field(s, 0, std::min<std::size_t>(bar, 15));
    const std::size_t bar2 = s.find('|', bar + 1);
    if (bar2 != std::string::npos) r.qty = Field(s, bar + 1, std::min<std::size_t>(bar2 - bar - 1, 10));
    return r;
}

}  // namespace promo
