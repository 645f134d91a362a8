#include "frame/ui/OrvFileDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "frame/ui/OrvUi.h"

COrvFileDialog::COrvFileDialog(bool openFileDialog, const QString& defExt, const QString& fileName,
                               unsigned flags, const QString& filter, QWidget* parent)
    : m_open(openFileDialog), m_fileName(fileName), m_flags(flags), m_filter(filter), m_parent(parent) {
    m_defExt = defExt.trimmed();
    while (m_defExt.startsWith(u'*') || m_defExt.startsWith(u'.')) m_defExt.remove(0, 1);
}

int COrvFileDialog::DoModal() {
    m_path.clear();
    QString start = m_initialDir;
    if (!m_fileName.isEmpty())
        start = QFileInfo(m_fileName).isAbsolute() || start.isEmpty() ? m_fileName
                                                                     : QDir(start).filePath(m_fileName);
    const QString caption =
        !m_title.isEmpty() ? m_title : (m_open ? QStringLiteral("Apri") : QStringLiteral("Salva con nome"));
    // The Ui service turns the "Desc|*.a||" filter into Qt's form.
    QString path = m_open ? frame::ui().GetOpenFileName(m_parent, caption, start, m_filter)
                          : frame::ui().GetSaveFileName(m_parent, caption, start, m_filter);
    if (path.isEmpty()) return frame::IDCANCEL;

    if (!m_defExt.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
        const QString withExt = path + u'.' + m_defExt;
        // An open dialog keeps a name that exists as typed.
        if (!m_open || !QFileInfo::exists(path)) {
            // The dialog checked the name without the extension: ask here.
            if (!m_open && (m_flags & OFN_OVERWRITEPROMPT) && QFileInfo::exists(withExt)) {
                const int answer = frame::ui().MessageBox(
                    m_parent,
                    QStringLiteral("%1 esiste già.\nSostituirlo?").arg(QFileInfo(withExt).fileName()),
                    caption, frame::MB_YESNO, frame::MsgIcon::Exclamation, frame::IDNO);
                if (answer != frame::IDYES) return frame::IDCANCEL;
            }
            path = withExt;
        }
    }
    m_path = QDir::cleanPath(path);
    return frame::IDOK;
}

QString COrvFileDialog::GetFileName() const { return QFileInfo(m_path).fileName(); }
QString COrvFileDialog::GetFileTitle() const { return QFileInfo(m_path).completeBaseName(); }
QString COrvFileDialog::GetFileExt() const { return QFileInfo(m_path).suffix(); }
QString COrvFileDialog::GetFolderPath() const { return QFileInfo(m_path).absolutePath(); }
