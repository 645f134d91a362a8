// Report templates: a file either parses into a template whose query
// expands and whose aliases resolve, or is refused on one of its lines.
#include <cstddef>
#include <cstdint>

#include "frame/report/ReportRender.h"
#include "frame/report/ReportTemplate.h"
#include "frame/report/SelectionFormula.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzQt.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    promofuzz::QuietQtLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const report::ParseResult r = report::ParseTemplate(text);
    if (!r.ok) {
        FUZZ_CHECK(!r.error.isEmpty());
        FUZZ_CHECK(r.errorLine >= 0 && r.errorLine <= text.count(u'\n') + 1);
        return 0;
    }
    const report::Template& t = r.tpl;
    FUZZ_CHECK(!t.columns.empty() && !t.query.isEmpty() && !t.footer.empty());
    const QString sql = t.ExpandQuery(QStringLiteral("TRUE"));
    FUZZ_CHECK(!sql.contains(QStringLiteral("{selection}"), Qt::CaseInsensitive));
    for (const auto& a : t.tables) {
        const auto alias = t.SqlAlias(a.alias);
        FUZZ_CHECK(alias.has_value());
        // A formula on each alias, as a print would write it.
        const auto f = report::TranslateFormula(QStringLiteral("{%1.x} = 1").arg(a.alias),
                                                [&](const QString& n) { return t.SqlAlias(n); });
        FUZZ_CHECK(f.ok);
    }
    // Each column's format on the kinds of value a query gives.
    for (const auto& c : t.columns)
        for (const char* raw : {"", "0", "-1234567.125", "2026-03-01", "86399", "abc"})
            report::FormatValue(raw, c.fmt);
    return 0;
}
