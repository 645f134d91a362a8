// The promo main window: one menu entry per dialog of the module (entries of
// dialogs not built yet are disabled) and the host's lookups.
#pragma once

#include <functional>
#include <map>

#include <QMainWindow>

class QAction;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    // Entries by their caption, for tests and for the module to enable.
    QAction* Entry(const QString& caption) const;
    // Makes an entry live (called as the module's dialogs arrive).
    void SetEntry(const QString& caption, std::function<void()> run);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QAction* addEntry(QMenu* menu, const QString& caption, const QKeySequence& key = {});
    std::map<QString, QAction*> m_entries;
};
