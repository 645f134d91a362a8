// Selection formulas: whatever the text, either SQL whose values are all
// bound parameters or an error at a character of the formula.
#include <cstddef>
#include <cstdint>

#include "frame/report/SelectionFormula.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzQt.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    promofuzz::QuietQtLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString formula = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto resolve = [](const QString& alias) -> std::optional<QString> {
        if (alias == u"promozio" || alias == u"promorow") return QStringLiteral("promozio");
        if (alias == u"promoacq" || alias == u"storico") return alias;
        return std::nullopt;
    };
    const report::FormulaSql r = report::TranslateFormula(formula, resolve);
    if (r.ok) {
        FUZZ_CHECK(r.errorPos == 0);
        // Nothing typed reaches the SQL text: no quotes, no statement end, no comment.
        for (const QChar c : r.condition) FUZZ_CHECK(c != u'\'' && c != u'"' && c != u';');
        FUZZ_CHECK(!r.condition.contains(QStringLiteral("--")));
        FUZZ_CHECK(r.condition.count(QStringLiteral(":f")) == r.binds.size());
    } else {
        FUZZ_CHECK(r.errorPos >= 1 && r.errorPos <= formula.size() + 1);
        FUZZ_CHECK(!r.error.isEmpty());
        FUZZ_CHECK(r.binds.isEmpty());
    }
    return 0;
}
