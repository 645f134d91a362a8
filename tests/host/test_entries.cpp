// The main window's module entries: each module registers its own and it is live.
#include <gtest/gtest.h>

#include <QAction>

#include "host/MainWindow.h"

void RegisterModuleEntries(bool debug);

namespace {

TEST(HostEntries, EveryModuleOfTheMenuIsLive) {
    RegisterModuleEntries(false);
    MainWindow w;
    for (const char* caption : {"Promozioni", "Promozioni Sellin", "Incentivi Personale"}) {
        SCOPED_TRACE(caption);
        QAction* a = w.Entry(QString::fromUtf8(caption));
        ASSERT_NE(a, nullptr);
        EXPECT_TRUE(a->isEnabled());
    }
}

}  // namespace
