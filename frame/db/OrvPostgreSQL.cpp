#include "frame/db/OrvPostgreSQL.h"

#include "frame/db/DbScope.h"

namespace orvdb {

namespace {
std::string& connInfo() {
    static std::string s;
    return s;
}
std::function<bool()>& deleteConfirm() {
    static std::function<bool()> f;
    return f;
}
}  // namespace

const char* LibErrText(int code) {
    switch (code) {
    case LibErr::RecordMissing: return "Il record non esiste più: è stato cancellato da un altro utente";
    case LibErr::HeaderExists: return "Esiste già una promozione con questo codice";
    case LibErr::DeleteRefused: return "Cancellazione annullata dall'utente";
    case LibErr::BadDepot: return "Deposito inesistente o non specificato";
    case LibErr::BadPriceList: return "Listino inesistente";
    case LibErr::RowExists: return "Codice riga promozione già utilizzato";
    case LibErr::BadArticle: return "Articolo inesistente";
    case LibErr::BadGiftArticle: return "Articolo regalo inesistente";
    case LibErr::HeaderMissing: return "La promozione della riga non esiste più";
    case LibErr::BadFilter: return "Marchio, reparto o categoria merceologica inesistente";
    case LibErr::BadSupplier: return "Fornitore inesistente";
    case LibErr::SellinExists: return "Esiste già una promozione sellin con questo codice";
    case LibErr::BadVat: return "Codice IVA inesistente";
    default: return "";
    }
}

void RaiseLibError(int code, const std::string& statement) {
    throw SAException(SA_Library_Error, code, LibErrText(code), {}, statement);
}

void ThrowUserException(int code, const char* source, int line, const char* operation, int) {
    std::string where = operation ? operation : "";
    if (source) where += std::string(" (") + source + ":" + std::to_string(line) + ")";
    RaiseLibError(code, where);
}

void SetConnInfo(std::string conninfo) { connInfo() = std::move(conninfo); }
const std::string& ConnInfo() { return connInfo(); }
void SetDeleteConfirm(std::function<bool()> ask) { deleteConfirm() = std::move(ask); }

void COrvPostgreSQL::OpenConnection(SAConnection* con, SACommand* cmd) {
    if (!con->isConnected()) con->Connect(connInfo());
    if (cmd) cmd->setConnection(con);
}

std::string COrvPostgreSQL::QueryAdapt(const std::string& statement, long limit, long offset) {
    std::string s = statement;
    if (limit > 0) s += " LIMIT " + std::to_string(limit);
    if (offset > 0) s += " OFFSET " + std::to_string(offset);
    return s;
}

std::string COrvPostgreSQL::TextArray(const std::vector<std::string>& items) {
    std::string s = "{";
    for (const std::string& item : items) {
        if (s.size() > 1) s += ',';
        s += '"';
        for (char c : item) {
            if (c == '"' || c == '\\') s += '\\';
            s += c;
        }
        s += '"';
    }
    return s + "}";
}

bool COrvPostgreSQL::IsDupKeyErr(const SAException& e) {
    return std::string_view(e.ErrSQLState()) == "23505";
}

bool COrvPostgreSQL::IsTableNotExistErr(const SAException& e) {
    return std::string_view(e.ErrSQLState()) == "42P01";
}

long COrvPostgreSQL::MaxPlusOne(SACommand& aux, const std::string& table,
                                const std::string& column) {
    aux.setCommandText("SELECT COALESCE(MAX(" + column + "),0) + 1 AS codice FROM " + table);
    aux.Execute();
    long code = aux.FetchNext() ? aux.Field("codice").asLong() : 1;
    aux.Close();
    return code;
}

bool COrvPostgreSQL::RecordExists(SACommand& aux, const void* rec) {
    std::string sql = m_def.SelectByKeyText();
    sql.replace(0, std::string("SELECT *").size(), "SELECT 1");
    aux.setCommandText(sql);
    m_def.BindKey(aux, rec);
    aux.Execute();
    bool found = aux.FetchNext();
    aux.Close();
    return found;
}

void COrvPostgreSQL::CheckWrite(SACommand&, const void*, int) {}
void COrvPostgreSQL::AfterDelete(SACommand&, const void*) {}

void COrvPostgreSQL::AssignCode(SACommand& aux, void* rec) {
    if (m_def.HasLongKey() && m_def.KeyColumns().size() == 1 && m_def.KeyValue(rec) == 0)
        m_def.SetKeyValue(rec, MaxPlusOne(aux, m_def.Table(), m_def.Key()));
}

long COrvPostgreSQL::DrawCode(SACommand& aux) {
    const long code = MaxPlusOne(aux, m_def.Table(), m_def.Key());
    // proposals of dialogs closed unsaved must not pile up for ever
    if (m_proposed.size() >= 4096) m_proposed.clear();
    ++m_proposed[code];
    return code;
}

void COrvPostgreSQL::DropProposal(long code) {
    auto it = m_proposed.find(code);
    if (it != m_proposed.end() && --it->second == 0) m_proposed.erase(it);
}

// Codes are the highest plus one and nothing locks the range, so two users
// inserting at once draw the same code and the second insert finds it taken.
// When the library chose the code (none given, or Blank's proposal) it draws
// the next one and inserts again: both users' rows are written, each once,
// and rec leaves with the code it was written under, so a grid or a form
// that showed the proposal shows the real code afterwards. A code the caller
// set itself stays refused as used (DupKeyCode, or the server's 23505).
void COrvPostgreSQL::Insert(SACommand* cmd, SACommand& aux, void* rec) {
    constexpr int kMaxDraws = 50;  // only a flood of concurrent inserts gets this far
    const bool coded = m_def.HasLongKey() && m_def.KeyColumns().size() == 1;
    bool ours = false;
    // A proposal lasts until its row is written: a save refused for another
    // reason and repeated still holds the library's code.
    const long proposed = coded ? m_def.KeyValue(rec) : 0;
    if (proposed != 0) {
        ours = m_proposed.count(proposed) != 0;
    } else {
        AssignCode(aux, rec);
        ours = coded && m_def.KeyValue(rec) != 0;
    }
    auto usedError = [&] {
        // IsDupKeyErr holds whether the check or the server saw it.
        return SAException(SA_Library_Error, DupKeyCode(), LibErrText(DupKeyCode()), "23505", m_def.InsertText());
    };
    for (int draw = 1;; ++draw) {
        const bool mayDraw = ours && draw < kMaxDraws;
        if (draw > 1) m_def.SetKeyValue(rec, MaxPlusOne(aux, m_def.Table(), m_def.Key()));
        if (DupKeyCode() && RecordExists(aux, rec)) {
            if (mayDraw) continue;
            throw usedError();
        }
        cmd->setCommandText(m_def.InsertText());
        m_def.BindAll(*cmd, rec);
        try {
            cmd->Execute();
            if (ours && proposed) DropProposal(proposed);
            return;
        } catch (const SAException& e) {
            if (!IsDupKeyErr(e)) throw;
            // taken between the check and the insert; another unique index
            // of the table is the caller's business
            bool taken = false;
            try {
                taken = RecordExists(aux, rec);
            } catch (const SAException&) {
            }
            if (taken && mayDraw) continue;
            if (DupKeyCode()) throw usedError();
            throw;
        }
    }
}

void COrvPostgreSQL::SqlTransaction(SACommand* cmd, void* rec, int op) {
    SAConnection* con = cmd->Connection();
    if (!con || !con->isConnected())
        throw SAException(SA_Library_Error, sa_err::NotConnected,
                          "Connessione al database non aperta");
    SACommand aux(con);
    switch (op) {
    case SQL_INSERT:
        CheckWrite(aux, rec, op);
        Insert(cmd, aux, rec);
        break;
    case SQL_UPDATE:
        CheckWrite(aux, rec, op);
        cmd->setCommandText(m_def.UpdateText());
        m_def.BindAll(*cmd, rec);
        cmd->Execute();
        if (cmd->RowsAffected() == 0) RaiseLibError(LibErr::RecordMissing, m_def.UpdateText());
        break;
    case SQL_DELETE:
    case SQL_DELETE_NOASK: {
        if (op == SQL_DELETE && deleteConfirm() && !deleteConfirm()())
            RaiseLibError(LibErr::DeleteRefused);
        // The record and what goes with it (a header's rows) are one change:
        // a failure half-way leaves both as they were.
        DbTransaction tx(*con);
        CheckWrite(aux, rec, op);
        cmd->setCommandText(m_def.DeleteText());
        m_def.BindKey(*cmd, rec);
        cmd->Execute();
        if (cmd->RowsAffected() == 0) RaiseLibError(LibErr::RecordMissing, m_def.DeleteText());
        AfterDelete(aux, rec);
        tx.Commit();
        break;
    }
    default:
        throw SAException(SA_Library_Error, sa_err::BadValue,
                          "Operazione non valida: " + std::to_string(op));
    }
    cmd->Close();
}

}  // namespace orvdb
