// promo-sheetreader FILE: reads the first sheet of a workbook and writes it,
// framed (WorkbookSheet.h), to standard output. promo runs it for every
// workbook import (Workbook.h); it is never meant to be run by hand.
//
// The limits come first, before the file is opened: whatever the file does
// to a parser, the damage stays in this process.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/resource.h>
#include <unistd.h>

#include <QFile>

#include "frame/grid/WorkbookParse.h"

#if defined(__SANITIZE_ADDRESS__)
#define PROMO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PROMO_ASAN 1
#endif
#endif

namespace {

// Far above what the largest sheet within the cell limits needs.
constexpr rlim_t kAddressSpace = 2048ULL << 20;
constexpr rlim_t kCpuSeconds = 20;

void Limit(int resource, rlim_t value) {
    const rlimit r{value, value};
    setrlimit(resource, &r);
}

bool WriteAll(const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= n;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
#ifndef PROMO_ASAN
    // AddressSanitizer reserves terabytes of shadow memory up front, so the
    // sanitizer builds run without this one limit.
    Limit(RLIMIT_AS, kAddressSpace);
#endif
    Limit(RLIMIT_CPU, kCpuSeconds);
    Limit(RLIMIT_CORE, 0);
    Limit(RLIMIT_FSIZE, 0);  // it writes no file, only the pipe
    const char* path = argc == 3 && std::strcmp(argv[1], "--") == 0 ? argv[2] : argc == 2 ? argv[1] : nullptr;
    if (!path) {
        std::fprintf(stderr, "uso: %s FILE\n", argv[0]);
        return 2;
    }
    const grid::SheetRead read = grid::ReadWorkbookFile(QFile::decodeName(path));
    return WriteAll(grid::EncodeSheet(read)) ? 0 : 1;
}
