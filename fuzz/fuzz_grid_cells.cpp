// Grid cells: text typed into a cell (the model's edit path) or written by
// code, read back as text, number, whole number and date. The first byte
// picks the number column's decimals and thousands separator.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include <QApplication>

#include "frame/grid/GridFormat.h"
#include "frame/grid/SpreadModel.h"
#include "frame/grid/SpreadSheet.h"
#include "frame/ui/OrvHelpers.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzQt.h"

namespace {
CSpreadSheet* sheet = nullptr;
constexpr long kCols = 4;  // number, integer, date, text
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    promofuzz::QuietQtLog();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char arg0[] = "fuzz_grid_cells";
    static char* argv[] = {arg0, nullptr};
    new QApplication(argc, argv);  // lives as long as the process
    sheet = new CSpreadSheet;
    sheet->SetMaxCols(kCols);
    sheet->SetMaxRows(1);
    sheet->SetColType(2, grid::CellType::Integer);
    sheet->SetColType(3, grid::CellType::Date);
    sheet->SetColType(4, grid::CellType::Text);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    sheet->SetColType(1, grid::CellType::Number, data[0] % 8, (data[0] & 0x80) != 0);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    grid::CSpreadModel* model = sheet->Model();
    for (int byCode = 0; byCode < 2; ++byCode) {
        for (long col = 1; col <= kCols; ++col) {
            if (byCode) sheet->SetCellText(col, 1, text);
            else model->setData(model->index(0, int(col - 1)), text, Qt::EditRole);
            sheet->GetCellText(col, 1);
            const double d = sheet->GetCellDouble(col, 1);
            sheet->GetCellFloat(col, 1);
            sheet->GetCellLong(col, 1);
            const long julian = sheet->GetCellJulian(col, 1);
            FUZZ_CHECK(julian >= 0);
            sheet->SetCellDouble(col, 1, d, 1);
            sheet->SetCellLong(col, 1, sheet->GetCellLong(col, 1), 1);
        }
    }
    // A date read from a cell is a real day, and reads back from its text.
    const long julian = grid::TextToJulian(text);
    if (julian) {
        int day = 0, month = 0, year = 0;
        JulianToDate(julian, &day, &month, &year);
        FUZZ_CHECK(day >= 1 && day <= 31 && month >= 1 && month <= 12 && year >= 1 && year <= 9999);
        if (year >= 100) FUZZ_CHECK(grid::TextToJulian(grid::JulianToText(julian)) == julian);
    }
    for (const bool thousands : {false, true}) {
        const double v = grid::ParseDouble(text, thousands);
        FUZZ_CHECK(std::isfinite(v));
        grid::FormatFixed(v, data[0] % 8);
        // What the user sees of a number reads back as the same number.
        const QString plain = grid::FormatPlain(v);
        const QString shown = grid::ItalianNumber(plain, thousands);
        if (!thousands) FUZZ_CHECK(grid::ParseDouble(grid::PlainNumber(shown)) == grid::ParseDouble(plain));
    }
    grid::ParseDouble(grid::PlainNumber(text));
    grid::ParseLong(text);
    return 0;
}
