// Text helpers of the library. Copying text into the fixed char arrays of
// records: at most size-1 bytes, never splitting a UTF-8 character (text that
// is not UTF-8 is cut at the byte limit as it is). Reading text files line by
// line.
#pragma once

#include <cstddef>
#include <string>
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

namespace orvdb {

// Text read from a file (supplier listings, terminal readings, CSV) as it
// must reach the database: UTF-8, no NUL.
struct DecodedText {
    std::string text;
    int replaced = 0;     // bytes that were neither UTF-8 nor Windows-1252, now U+FFFD
    bool legacy = false;  // some bytes were read as Windows-1252
};

// Files come from old Windows programs as often as from new ones, sometimes
// both in one file: every well-formed UTF-8 sequence is kept, every other
// byte is read as Windows-1252. The five bytes that code page leaves
// undefined (0x81 0x8D 0x8F 0x90 0x9D) and NUL, which PostgreSQL text cannot
// hold, become U+FFFD and are counted.
DecodedText DecodeFileText(std::string_view bytes);

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool IsUtf8(std::string_view bytes);

}  // namespace orvdb

// Reads a text line without its line end (LF or CR LF) into buf, cut to
// size-1 bytes; its length, or -1 at end of file.
int ReadLine(std::FILE* file, char* buf, int size);
