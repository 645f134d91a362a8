// A line of the reading files that handheld barcode terminals write.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace promo {

// Longest reading line taken; the rest of a longer line is dropped.
inline constexpr int kReadingLineMax = 200;

// One reading: the article code or barcode, and the quantity as read (not
// used by the promotion import).
struct Reading {
    std::string code;
    std::string qty;
};
// A reading line by its terminal's layout (kinds 5 and 7 separated by "|",
// kind 8 in fixed columns), decoded to UTF-8. Empty when a separated line
// has no "|".
std::optional<Reading> ParseReadingLine(std::string_view line, int kind);

}  // namespace promo
