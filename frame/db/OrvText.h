// Text helpers of the library. Copying text into the fixed char arrays of
// records: at most size-1 bytes, never splitting a UTF-8 character (text that
// is not UTF-8 is cut at the byte limit as it is). Reading text files line by
// line.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

namespace orvdb {

// Number of leading bytes of src to keep so that it fits maxBytes.
std::size_t Utf8Fit(std::string_view src, std::size_t maxBytes);

// Copies into dst[size], NUL-terminated and zero-filled to the end, so that
// records compare and store byte for byte.
void CopyText(char* dst, std::size_t size, std::string_view src);

template <std::size_t N>
void CopyText(char (&dst)[N], std::string_view src) {
    CopyText(dst, N, src);
}

}  // namespace orvdb

// Reads a text line without its line end (LF or CR LF) into buf, cut to
// size-1 bytes; its length, or -1 at end of file.
int ReadLine(std::FILE* file, char* buf, int size);
