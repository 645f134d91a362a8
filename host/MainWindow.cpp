#include "host/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "frame/db/SqlTables.h"
#include "frame/ui/OrvUi.h"
#include "host/HostRegistry.h"

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString("promo - %1").arg(QString::fromUtf8(tavelo_db_impo.imp_ragsoc).trimmed()));
    setObjectName("MainWindow");

    QMenu* moduli = menuBar()->addMenu("&Promozioni");
    addEntry(moduli, "Promozioni", QKeySequence("Ctrl+P"));
    addEntry(moduli, "Promozioni Sellin", QKeySequence("Ctrl+S"));
    addEntry(moduli, "Incentivi Personale", QKeySequence("Ctrl+I"));
    moduli->addSeparator();
    QAction* esci = moduli->addAction("&Esci");
    esci->setShortcut(QKeySequence("Alt+F4"));
    connect(esci, &QAction::triggered, this, &QWidget::close);

    QMenu* ricerche = menuBar()->addMenu("&Ricerche");
    for (const auto& l : HostRegistry::Lookups()) {
        QAction* a = addEntry(ricerche, l.caption);
        SetEntry(l.caption, l.run);
        (void)a;
    }

    QMenu* aiuto = menuBar()->addMenu("&?");
    QAction* guida = aiuto->addAction("Guida");
    guida->setShortcut(QKeySequence(Qt::Key_F1));
    connect(guida, &QAction::triggered, [] { frame::ui().Help("tavelo.chm::/index.htm"); });

    for (const auto& e : HostRegistry::Entries()) SetEntry(e.caption, e.run);

    auto* central = new QWidget(this);
    auto* lay = new QVBoxLayout(central);
    auto* title = new QLabel(QString("<h2>%1</h2><p>Ditta %2 - anno %3 - deposito %4</p>"
                                     "<p>Scegliere una voce dal menu <b>Promozioni</b> "
                                     "(Alt+P) per iniziare.</p>")
                                 .arg(QString::fromUtf8(tavelo_db_impo.imp_ragsoc).trimmed().toHtmlEscaped())
                                 .arg(tavelo_db_impo.imp_codice)
                                 .arg(tavelo_db_impo.imp_anno)
                                 .arg(tavelo_db_impo.imp_dep_def),
                             central);
    title->setAlignment(Qt::AlignCenter);
    lay->addWidget(title);
    setCentralWidget(central);
    statusBar()->showMessage("Pronto");
    // The module's editors take the main window's size: most of the screen
    // gives the rows grid room, and 1024x700 is the least they are made for.
    QSize size(1024, 700);
    if (const QScreen* s = screen()) {
        const QSize avail = s->availableGeometry().size();
        size = size.expandedTo(avail * 0.9).boundedTo(avail - QSize(20, 40));
    }
    resize(size);
}

QAction* MainWindow::addEntry(QMenu* menu, const QString& caption, const QKeySequence& key) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(caption);
    if (!key.isEmpty()) a->setShortcut(key);
    a->setEnabled(false);  // live once its dialog exists
    m_entries[caption] = a;
    return a;
}

QAction* MainWindow::Entry(const QString& caption) const {
    auto it = m_entries.find(caption);
    return it == m_entries.end() ? nullptr : it->second;
}

void MainWindow::SetEntry(const QString& caption, std::function<void()> run) {
    QAction* a = Entry(caption);
    if (!a) return;
    a->setEnabled(true);
    connect(a, &QAction::triggered, this, [run] { run(); });
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F12) {
        frame::ui().Calculator(this);
        return;
    }
    QMainWindow::keyPressEvent(e);
}
