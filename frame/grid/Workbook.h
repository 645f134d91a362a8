// Workbooks for the grid: the first sheet of an .xls, .xlsx, .ods or .csv as
// the texts a user sees (see WorkbookSheet.h and WorkbookParse.h).
//
// The parsing never runs inside the program. A damaged or hostile file can
// crash a parser (FreeXL has crashed on malformed .xls) or make it eat the
// memory, so each file is read by promo-sheetreader, a small program of ours
// built beside promo (frame/grid/WorkbookReaderMain.cpp) that links QtCore,
// FreeXL and libzip and nothing else. It limits itself before it opens the
// file (address space, CPU time, no core file), writes the sheet to its
// standard output in the framed form of WorkbookSheet.h and exits. This side
// waits at most ReaderOptions::timeoutMs, kills it past that, takes at most
// kMaxAnswerBytes, and checks every frame. A crash, a limit, a timeout or
// garbage all give SheetStatus::Unreadable: the "cannot be read" outcome.
//
// A program of its own rather than promo re-executed in a reader mode: it
// starts in a few milliseconds without the widgets, the module or libpq, its
// address-space limit can be tight, and the test and benchmark programs,
// which are not promo, run the very same reader.
#pragma once

#include <QString>

#include "frame/grid/WorkbookSheet.h"

namespace grid {

inline constexpr char kSheetReaderName[] = "promo-sheetreader";

// The open dialog's filter of every workbook import: the legacy entry first,
// as the imports always offered it, then every format the grid reads.
inline constexpr char kWorkbookFileFilter[] =
    "Documenti Excel (*.xls)|*.xls|"
    "Fogli di calcolo (*.xls *.xlsx *.ods *.csv)|*.xls;*.xlsx;*.ods;*.csv||";

inline constexpr qint64 kMaxAnswerBytes = 256LL << 20;
inline constexpr int kReaderTimeoutMs = 30000;

struct ReaderOptions {
    QString program;  // empty: WorkbookReaderProgram()
    int timeoutMs = kReaderTimeoutMs;
};

// The reader program: $PROMO_SHEETREADER when set; else promo-sheetreader
// beside the running executable (how promo finds it once installed, the two
// side by side); else the one this build made (how the build tree's promo,
// the tests and the benchmarks find it). Empty when none exists.
QString WorkbookReaderProgram();

// Reads the first sheet of `path` in the reader program.
SheetRead ReadWorkbook(const QString& path, const ReaderOptions& options = {});

}  // namespace grid
