// The .xls side that is ours. FreeXL itself is not fuzzed here: it crashes
// on malformed workbooks, which is why it only ever runs in the reader
// program. What promo does with a .xls is take the reader's framed answer,
// so that is fuzzed: an input starting with 'F' is an answer to decode
// (anything accepted must encode back to the very same bytes); 'D' feeds a
// number format and a serial to the date and number texts the readers
// share; 'S' the format sniffing.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "frame/grid/WorkbookParse.h"
#include "fuzz/WorkbookFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView in = promofuzz::Bytes(data, size);
    if (in.isEmpty()) return 0;
    const QByteArrayView rest = in.sliced(1);
    switch (in[0]) {
    case 'F': {
        const grid::SheetRead read = grid::DecodeSheet(rest);
        promofuzz::CheckSheet(read);
        if (read.status == grid::SheetStatus::Workbook) promofuzz::Check(grid::EncodeSheet(read) == rest);
        break;
    }
    case 'D': {
        if (rest.size() < 10) break;
        double serial;
        std::memcpy(&serial, rest.data(), sizeof serial);
        const auto kind = static_cast<grid::DateKind>(static_cast<unsigned char>(rest[8]) % 4);
        const QString format = QString::fromUtf8(rest.sliced(10));
        (void)grid::FormatKind(format);
        const QString text = grid::SerialText(serial, kind, rest[9] & 1);
        promofuzz::Check(std::isfinite(serial) ? !text.isEmpty() : text.isEmpty());
        (void)grid::IsoDateText(format);
        break;
    }
    case 'S':
        (void)grid::SniffWorkbook(rest, QString::fromUtf8(rest.first(std::min<qsizetype>(rest.size(), 64))));
        break;
    }
    return 0;
}
