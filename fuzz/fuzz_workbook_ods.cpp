// The .ods reader. An input starting with 'Z' is a whole package; any
// other is content.xml itself (repeated rows and columns, covered cells,
// values, paragraphs).
#include "frame/grid/WorkbookParse.h"
#include "fuzz/WorkbookFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView in = promofuzz::Bytes(data, size);
    if (!in.isEmpty() && in[0] == 'Z') promofuzz::CheckSheet(grid::ParseZipWorkbook(in.sliced(1)));
    else promofuzz::CheckSheet(grid::ParseOdsContentXml(in));
    return 0;
}
