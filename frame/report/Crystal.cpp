#include "frame/report/Crystal.h"

#include <memory>

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStringDecoder>

#include "frame/db/OrvPostgreSQL.h"
#include "frame/db/SqlTables.h"
#include "frame/report/ReportRender.h"
#include "frame/report/SelectionFormula.h"
#include "frame/ui/OrvHelpers.h"
#include "frame/ui/OrvPar.h"
#include "frame/ui/OrvTablePrint.h"
#include "frame/ui/OrvUi.h"

namespace {

// Callers format into buf_stampa from records (UTF-8) or from texts kept in
// the Windows code page; the latter is read as Latin-1.
QString FromC(const char* s) {
    if (!s) return {};
    const QByteArray bytes(s);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) text = QString::fromLatin1(bytes);
    return text;
}

QString SettingsValue(const char* key) {
    const QString ini = QString::fromStdString(orvpar.iniFile);
    if (ini.isEmpty() || !QFileInfo::exists(ini)) return {};
    return QSettings(ini, QSettings::IniFormat).value(QStringLiteral("Stampe/") + QLatin1String(key)).toString();
}

CryRunLog& LastRunStore() {
    static CryRunLog log;
    return log;
}

}  // namespace

QString ReportsDirectory() {
    if (const QString env = qEnvironmentVariable("PROMO_REPORTS_DIR"); !env.isEmpty()) return env;
    if (const QString set = SettingsValue("CartellaModelli"); !set.isEmpty()) return set;
    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QString app = QCoreApplication::applicationDirPath();
        candidates << app + QStringLiteral("/reports") << app + QStringLiteral("/../reports")
                   << app + QStringLiteral("/../share/promo/reports");
    }
#ifdef PROMO_SOURCE_DIR
    candidates << QStringLiteral(PROMO_SOURCE_DIR "/reports");
#endif
    for (const QString& dir : candidates)
        if (QFileInfo(dir).isDir()) return QDir::cleanPath(dir);
    return candidates.isEmpty() ? QStringLiteral("reports") : QDir::cleanPath(candidates.front());
}

CCrystal::CCrystal(bool pdf) : m_pdf(pdf) {}

CCrystal::~CCrystal() {
    if (m_open) CryClose();
}

const CryRunLog& CCrystal::LastRun() { return LastRunStore(); }

void CCrystal::Publish() const { LastRunStore() = m_log; }

void CCrystal::Call(const QString& text) {
    m_log.calls << text;
    Publish();
}

bool CCrystal::Fail(const QString& text) {
    m_failed = true;
    m_log.error = text;
    Publish();
    const QString caption = m_log.title.isEmpty() ? QStringLiteral("Stampa") : m_log.title;
    frame::ui().MessageBox(QApplication::activeWindow(), text, caption, frame::MB_OK, frame::MsgIcon::Stop);
    return false;
}

bool CCrystal::CryOpen(const char* templ, const char* title, int a, int b) {
    m_log = CryRunLog{};
    m_open = false;
    m_failed = false;
    m_tpl = report::Template{};
    const QString name = FromC(templ).trimmed();
    m_log.templateName = name;
    m_log.title = FromC(title);
    Call(QStringLiteral("CryOpen(%1, %2, %3, %4)").arg(name, m_log.title).arg(a).arg(b));

    const QString dir = ReportsDirectory();
    const QString path = QFileInfo(name).isAbsolute() ? name : QDir(dir).filePath(name);
    m_log.templatePath = path;
    if (name.isEmpty() || !QFileInfo(path).isFile())
        return Fail(QStringLiteral("Modello di stampa non trovato: %1\nCartella dei modelli: %2")
                        .arg(name, QDir::toNativeSeparators(dir)));
    report::ParseResult parsed = report::LoadTemplate(path);
    if (!parsed.ok) {
        const QString where = parsed.errorLine > 0 ? QStringLiteral(" (riga %1)").arg(parsed.errorLine) : QString();
        return Fail(QStringLiteral("Modello di stampa %1 non valido%2:\n%3").arg(name, where, parsed.error));
    }
    m_tpl = std::move(parsed.tpl);
    m_tpl.name = name;
    if (m_log.title.isEmpty()) m_log.title = m_tpl.title;
    m_log.orientation = m_tpl.landscape ? 2 : 1;
    m_open = true;
    Publish();
    return true;
}

bool CCrystal::CrySetDnsLessConn(int dbType, int b) {
    Call(QStringLiteral("CrySetDnsLessConn(%1, %2)").arg(dbType).arg(b));
    if (!Usable()) return false;
    m_log.dbType = dbType;
    if (dbType != DBTYPE_POSTGRESQL)
        return Fail(QStringLiteral("Stampa %1: tipo di database %2 non gestito.").arg(m_log.templateName).arg(dbType));
    Publish();
    return true;
}

bool CCrystal::CrySetOrientation(int orientation) {
    Call(QStringLiteral("CrySetOrientation(%1)").arg(orientation));
    if (!Usable()) return false;
    if (orientation != 1 && orientation != 2)
        return Fail(QStringLiteral("Stampa %1: orientamento %2 non valido.").arg(m_log.templateName).arg(orientation));
    m_log.orientation = orientation;
    Publish();
    return true;
}

bool CCrystal::CrySelect(const char* formula, int b) {
    const QString f = FromC(formula);
    Call(QStringLiteral("CrySelect(%1, %2)").arg(f).arg(b));
    if (!Usable()) return false;
    m_log.formula = f;
    const report::FormulaSql sql =
        report::TranslateFormula(f, [this](const QString& alias) { return m_tpl.SqlAlias(alias); });
    if (!sql.ok)
        return Fail(QStringLiteral("Formula di selezione della stampa %1 non valida, carattere %2: %3\n%4")
                        .arg(m_log.templateName)
                        .arg(sql.errorPos)
                        .arg(sql.error, f));
    m_log.condition = sql.condition;
    m_log.binds = sql.binds;
    Publish();
    return true;
}

bool CCrystal::CryStringParam(int index, const char* name, const char* subreport, const char* text) {
    CryParam p{index, FromC(name), FromC(subreport), FromC(text)};
    Call(QStringLiteral("CryStringParam(%1, %2, %3, %4)").arg(index).arg(p.name, p.subreport, p.text));
    if (!Usable()) return false;
    if (!p.subreport.isEmpty())
        return Fail(QStringLiteral("Stampa %1: sottoreport '%2' non presente nel modello.")
                        .arg(m_log.templateName, p.subreport));
    m_log.params.push_back(p);
    Publish();
    return true;
}

bool CCrystal::CryDateParam(int index, const char* name, const char* subreport, long julian) {
    CryParam p{index, FromC(name), FromC(subreport), QString::fromStdString(JulianToString(julian)), true, julian};
    Call(QStringLiteral("CryDateParam(%1, %2, %3, %4)").arg(index).arg(p.name, p.subreport).arg(julian));
    if (!Usable()) return false;
    if (!p.subreport.isEmpty())
        return Fail(QStringLiteral("Stampa %1: sottoreport '%2' non presente nel modello.")
                        .arg(m_log.templateName, p.subreport));
    m_log.params.push_back(p);
    Publish();
    return true;
}

bool CCrystal::CryForceSQL(int force, int b) {
    Call(QStringLiteral("CryForceSQL(%1, %2)").arg(force).arg(b));
    if (!Usable()) return false;
    m_log.forceSql = force != 0;
    Publish();
    return true;
}

bool CCrystal::SwitchTable(int index, const QString& newName) {
    if (!Usable()) return false;
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)?$"));
    if (index < 0 || index >= int(m_tpl.tables.size()) || !m_tpl.tables[std::size_t(index)].sameAs.isEmpty() ||
        m_tpl.tables[std::size_t(index)].inQuery)
        return Fail(QStringLiteral("Stampa %1: tabella %2 non presente nel modello.").arg(m_log.templateName).arg(index));
    if (!re.match(newName).hasMatch())
        return Fail(QStringLiteral("Stampa %1: nome di tabella '%2' non valido.").arg(m_log.templateName, newName));
    auto& t = m_tpl.tables[std::size_t(index)];
    t.table = newName.contains(u'.') ? newName : QStringLiteral("admin.") + newName;
    m_log.switchedTables << t.alias + QStringLiteral(" -> ") + t.table;
    Publish();
    return true;
}

bool CCrystal::CrySwitchTable(int index, const char* newName) {
    Call(QStringLiteral("CrySwitchTable(%1, %2)").arg(index).arg(FromC(newName)));
    return SwitchTable(index, FromC(newName).trimmed());
}

bool CCrystal::CrySwitchTable(const char* alias, const char* newName) { return CrySwitchTable(-1, alias, newName); }

bool CCrystal::CrySwitchTable(int index, const char* alias, const char* newName) {
    const QString a = FromC(alias).trimmed().toLower();
    Call(QStringLiteral("CrySwitchTable(%1, %2, %3)").arg(index).arg(a, FromC(newName)));
    if (!a.isEmpty()) {
        index = -1;
        for (std::size_t i = 0; i < m_tpl.tables.size(); ++i)
            if (m_tpl.tables[i].alias == a) index = int(i);
        if (index < 0 && Usable())
            return Fail(QStringLiteral("Stampa %1: tabella '%2' non presente nel modello.").arg(m_log.templateName, a));
    }
    return SwitchTable(index, FromC(newName).trimmed());
}

bool CCrystal::CryEsegui() {
    Call(QStringLiteral("CryEsegui()"));
    if (!Usable()) return false;
    if (m_log.condition.isEmpty()) m_log.condition = QStringLiteral("TRUE");
    m_log.sql = m_tpl.ExpandQuery(m_log.condition);
    Publish();

    auto data = std::make_shared<report::ReportData>();
    {
        SAConnection con;
        try {
            con.Connect(orvdb::ConnInfo());
        } catch (const SAException& e) {
            return Fail(QStringLiteral("Stampa %1: connessione al database non riuscita.\n%2")
                            .arg(m_log.templateName, QString::fromUtf8(e.ErrText().c_str())));
        }
        try {
            frame::WaitCursor wait;
            SACommand cmd(&con, m_log.sql.toStdString());
            for (int i = 0; i < m_log.binds.size(); ++i)
                cmd.Param("f" + std::to_string(i + 1)).setAsString(m_log.binds[i].toStdString());
            cmd.Execute();
            const int nc = cmd.FieldCount();
            for (int c = 1; c <= nc; ++c) data->names << QString::fromStdString(cmd.Field(c).Name()).toLower();
            data->cells.reserve(std::size_t(cmd.RowCount()) * std::size_t(nc));
            while (cmd.FetchNext()) {
                for (int c = 1; c <= nc; ++c) data->cells.emplace_back(cmd.Field(c).c_str());
                ++data->rows;
            }
        } catch (const SAException& e) {
            return Fail(QStringLiteral("Stampa %1: errore nella lettura dei dati.\n%2")
                            .arg(m_log.templateName, QString::fromUtf8(e.ErrText().c_str())));
        }
    }
    m_log.rows = data->rows;
    if (const QString missing = report::MissingField(m_tpl, *data); !missing.isEmpty())
        return Fail(QStringLiteral("Stampa %1: il campo '%2' non è fra le colonne della query.")
                        .arg(m_log.templateName, missing));

    auto tpl = std::make_shared<report::Template>(m_tpl);
    auto ctx = std::make_shared<report::RenderContext>();
    ctx->title = m_log.title;
    ctx->printed = QDateTime::currentDateTime();
    for (const auto& p : m_log.params) ctx->params.insert(p.name.toLower(), p.text);
    auto pages = std::make_shared<int>(0);

    frame::ReportJob job;
    job.title = m_log.title;
    job.templateName = m_log.templateName;
    job.landscape = m_log.orientation == 2;
    job.pdfPath = frame::NewReportPdfPath(QFileInfo(m_log.templateName).completeBaseName());
    job.paint = [tpl, data, ctx, pages](QPagedPaintDevice& dev) {
        *pages = report::RenderReport(*tpl, *data, *ctx, dev);
        return *pages;
    };
    bool shown = false;
    if (m_pdf) {
        QString error;
        shown = frame::WriteReportPdf(job, &error) > 0;
        if (!shown) return Fail(error);
        frame::ui().MessageBox(QApplication::activeWindow(),
                               QStringLiteral("Stampa salvata nel file:\n%1").arg(QDir::toNativeSeparators(job.pdfPath)),
                               job.title, frame::MB_OK, frame::MsgIcon::Information);
    } else {
        shown = frame::ui().ShowReport(QApplication::activeWindow(), job);
    }
    m_log.shown = shown;
    m_log.pages = *pages;
    if (QFileInfo(job.pdfPath).isFile()) m_log.pdfPath = job.pdfPath;
    Publish();
    return shown;
}

bool CCrystal::CryClose() {
    Call(QStringLiteral("CryClose()"));
    m_open = false;
    m_failed = false;
    m_tpl = report::Template{};
    return true;
}
