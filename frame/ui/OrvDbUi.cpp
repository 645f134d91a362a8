#include "frame/ui/OrvDbUi.h"

#include <QApplication>
#include <QtDebug>

#include "frame/db/OrvPostgreSQL.h"
#include "frame/ui/OrvUi.h"

namespace {

// The texts live with the library that raises the errors.
const char* FindText(int code) {
    const char* t = orvdb::LibErrText(code);
    return t && *t ? t : nullptr;
}

QWidget* ActiveParent() { return QApplication::activeWindow(); }

}  // namespace

QString DBErrorText(int code) {
    if (const char* t = FindText(code)) return QString::fromUtf8(t);
    return QStringLiteral("Errore %1").arg(code);
}

int DBError(int code) {
    return frame::ui().MessageBox(ActiveParent(), DBErrorText(code), QStringLiteral("Errore %1").arg(code),
                                  frame::MB_OK, frame::MsgIcon::Stop);
}

QString SAExceptionText(const SAException& e, const char* location) {
    QString text;
    if (e.ErrClass() == SA_Library_Error) {
        text = DBErrorText(e.ErrNativeCode());
        // The SQL layer's own failures (connection, missing field...) say
        // more than their number, so their text follows it.
        QString detail = QString::fromStdString(e.ErrText()).trimmed();
        if (!FindText(e.ErrNativeCode()) && !detail.isEmpty()) text += QStringLiteral(":\n") + detail;
    } else {
        text = QString::fromStdString(e.ErrText()).trimmed();
        if (text.isEmpty()) text = QStringLiteral("Errore del database");
        if (!e.ErrSQLState().empty())
            text += QStringLiteral("\n\nSQLSTATE %1").arg(QString::fromStdString(e.ErrSQLState()));
    }
    if (location && *location) text += QStringLiteral("\n\n(%1)").arg(QString::fromUtf8(location));
    return text;
}

void SAExceptionDisplay(const SAException& e, const char* location) {
    // The statement helps whoever reads the log, not the user.
    qWarning().noquote() << "SAException at" << (location ? location : "?") << "class" << e.ErrClass()
                         << "code" << e.ErrNativeCode() << "sqlstate" << e.ErrSQLState().c_str()
                         << ":" << e.ErrText().c_str() << "| statement:" << e.CommandText().c_str();
    frame::ui().MessageBox(ActiveParent(), SAExceptionText(e, location), QStringLiteral("Errore Database"),
                           frame::MB_OK, frame::MsgIcon::Stop);
}

bool DBConferma() {
    return frame::ui().MessageBox(ActiveParent(), QStringLiteral("Confermi la cancellazione?"),
                                  QStringLiteral("Conferma"), frame::MB_YESNO, frame::MsgIcon::Question,
                                  frame::IDNO) == frame::IDYES;
}

void InstallDbCallbacks() {
    orvdb::SetDeleteConfirm([] { return DBConferma(); });
    sa::SetWaitHook({[](long elapsedMs) { return frame::ui().DbWaiting(elapsedMs); },
                     [] { frame::ui().DbWaitOver(); }});
}
