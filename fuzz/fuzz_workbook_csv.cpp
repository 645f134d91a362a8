// The .csv reader on any bytes: decoding, separator detection, quoting,
// the line and cell limits.
#include "frame/grid/WorkbookParse.h"
#include "fuzz/WorkbookFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    promofuzz::CheckSheet(grid::ParseCsv(promofuzz::Bytes(data, size)));
    return 0;
}
