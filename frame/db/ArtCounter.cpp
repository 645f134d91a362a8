#include "frame/db/ArtCounter.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "frame/db/OrvText.h"

CPSQLaco sqlaco;

namespace {

std::string rtrim(const char* s) {
    std::string r(s);
    while (!r.empty() && r.back() == ' ') r.pop_back();
    return r;
}

}  // namespace

void LoadSezArray(SACommand* cmd, std::vector<long>& sections) {
    sections.clear();
    cmd->setCommandText("SELECT DISTINCT aco_dep FROM " + sqlaco.Def().Table() + " ORDER BY aco_dep");
    cmd->Execute();
    while (cmd->FetchNext()) sections.push_back(cmd->Field(1).asLong());
    cmd->Close();
}

bool GetArtCounter(SACommand* cmd, const char* art, short anno, const std::vector<long>& sections,
                   const std::vector<long>& depList, ARTCOUNTER* out, int, int) {
    *out = ARTCOUNTER{};
    out->aco_anno = anno;
    orvdb::CopyText(out->aco_art, rtrim(art));
    cmd->setCommandText(sqlaco.Def().SelectText() + " WHERE aco_anno = :y AND aco_art = :a ORDER BY aco_dep");
    cmd->Param("y").setAsShort(anno);
    cmd->Param("a").setAsString(rtrim(art));
    cmd->Execute();
    bool any = false;
    while (cmd->FetchNext()) {
        ARTCOUNTER c{};
        sqlaco.ReadFields(cmd, &c);
        auto in = [&](const std::vector<long>& v) {
            return std::find(v.begin(), v.end(), c.aco_dep) != v.end();
        };
        if (!in(sections) || (!depList.empty() && !in(depList))) continue;
        any = true;
        out->aco_esi_ini_qta += c.aco_esi_ini_qta;
        out->aco_esi_ini_val += c.aco_esi_ini_val;
        out->aco_acq_qta += c.aco_acq_qta;
        out->aco_acq_val += c.aco_acq_val;
        out->aco_ven_qta += c.aco_ven_qta;
        out->aco_ven_val += c.aco_ven_val;
        if (depList.size() == 1) out->aco_dep = c.aco_dep;
    }
    cmd->Close();
    return any;
}
