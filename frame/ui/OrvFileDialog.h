// File open/save dialog of the framework. The dialog itself is asked through
// frame::ui(), so tests answer it from their script. Filters may be written
// the system's way ("Documenti Excel (*.xls)|*.xls||") or Qt's way.
#pragma once

#include <QString>

class QWidget;

class COrvFileDialog {
public:
    // The option bits the module passes; the others are accepted and ignored.
    enum : unsigned {
        OFN_READONLY = 0x1,
        OFN_OVERWRITEPROMPT = 0x2,
        OFN_HIDEREADONLY = 0x4,
        OFN_PATHMUSTEXIST = 0x800,
        OFN_FILEMUSTEXIST = 0x1000,
    };

    // defExt: "xls", ".xls" or "*.xls"; added to a chosen name that has no
    // extension. fileName: the name (or path) proposed.
    explicit COrvFileDialog(bool openFileDialog, const QString& defExt = QString(),
                            const QString& fileName = QString(), unsigned flags = 0,
                            const QString& filter = QString(), QWidget* parent = nullptr);

    void SetInitialDir(const QString& dir) { m_initialDir = dir; }
    void SetTitle(const QString& title) { m_title = title; }

    // frame::IDOK with a path, or frame::IDCANCEL.
    int DoModal();

    QString GetPathName() const { return m_path; }  // full path
    QString GetFileName() const;                     // name with extension
    QString GetFileTitle() const;                    // name without extension
    QString GetFileExt() const;                      // extension without the dot
    QString GetFolderPath() const;

private:
    bool m_open;
    QString m_defExt;
    QString m_fileName;
    unsigned m_flags;
    QString m_filter;
    QWidget* m_parent;
    QString m_initialDir;
    QString m_title;
    QString m_path;
};
