// The Qt targets' log: warnings about refused settings and the like are
// expected by the thousand; only crashes and failed checks matter.
#pragma once

#include <cstdio>
#include <cstdlib>

#include <QString>
#include <QtGlobal>

namespace promofuzz {

inline void QuietQtLog() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", qPrintable(msg));
            std::abort();
        }
    });
}
}  // namespace promofuzz
