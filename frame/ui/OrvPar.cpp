#include "frame/ui/OrvPar.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

ORVPAR orvpar;

namespace frame {

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
