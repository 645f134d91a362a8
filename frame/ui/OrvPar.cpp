#include "frame/ui/OrvPar.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

ORVPAR orvpar;

namespace frame {

std::optional<long> SettingNumber(const QString& text, long min, long max, const QString& where) {
    const QString v = text.trimmed();
    if (v.isEmpty()) return std::nullopt;
    bool ok = false;
    const long n = v.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? v.mid(2).toLong(&ok, 16)
                                                                           : v.toLong(&ok, 10);
    if (!ok) {
        qWarning().noquote() << QStringLiteral("Impostazioni: %1 = \"%2\" non è un numero intero; "
                                               "resta il valore predefinito")
                                    .arg(where, v);
        return std::nullopt;
    }
    if (n < min || n > max) {
        qWarning().noquote() << QStringLiteral("Impostazioni: %1 = %2 è fuori dall'intervallo %3..%4; "
                                               "resta il valore predefinito")
                                    .arg(where, v)
                                    .arg(min)
                                    .arg(max);
        return std::nullopt;
    }
    return n;
}

std::string HelpDirectory() {
    if (!orvpar.helpDir.empty()) return orvpar.helpDir;
    QStringList candidates;
    if (QCoreApplication::instance())
        candidates << QCoreApplication::applicationDirPath() + "/help"
                   << QCoreApplication::applicationDirPath() + "/../share/promo/help";
#ifdef PROMO_SOURCE_DIR
    candidates << QStringLiteral(PROMO_SOURCE_DIR "/help");
#endif
    for (const QString& dir : candidates)
        if (QFileInfo(dir).isDir()) return QDir::cleanPath(dir).toStdString();
    // Nothing installed: the first candidate, so a missing page names a sensible place.
    return candidates.isEmpty() ? std::string("help") : QDir::cleanPath(candidates.front()).toStdString();
}

}  // namespace frame
