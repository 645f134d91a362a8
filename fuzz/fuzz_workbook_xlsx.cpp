// The .xlsx reader. An input starting with 'Z' is a whole package (libzip,
// relationships, workbook, parts streamed under the size limits); any other
// is the sheet, shared strings and styles XML, split at "\n====\n", so the
// fuzzer reaches the XML without having to keep a zip valid.
#include "frame/grid/WorkbookParse.h"
#include "fuzz/WorkbookFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView in = promofuzz::Bytes(data, size);
    if (!in.isEmpty() && in[0] == 'Z') {
        const grid::SheetRead read = grid::ParseZipWorkbook(in.sliced(1));
        promofuzz::CheckSheet(read);
        return 0;
    }
    QByteArrayView parts[3];
    promofuzz::Split(in, parts);
    promofuzz::CheckSheet(grid::ParseXlsxSheetXml(parts[0], parts[1], parts[2]));
    return 0;
}
