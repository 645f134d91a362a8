#include "frame/ui/OrvUi.h"

#include <QWidget>

#include "frame/ui/QtUi.h"

namespace frame {

namespace {
Ui* g_service = nullptr;

Ui& DefaultService() {
    static QtUi service;
    return service;
}
}  // namespace

Ui& ui() { return g_service ? *g_service : DefaultService(); }

Ui* SetUi(Ui* service) {
    Ui* previous = g_service;
    g_service = service;
    return previous;
}

void GotoCtrl(QWidget* w) {
    if (!w) return;
    // Tab reason: an edit reached this way selects its text, as by Tab.
    w->setFocus(Qt::TabFocusReason);
    ui().FocusChanged(w);
}

}  // namespace frame
