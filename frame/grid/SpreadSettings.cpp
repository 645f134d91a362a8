#include "frame/grid/SpreadSettings.h"

#include <QFileInfo>
#include <QHash>
#include <QSettings>

#include <string>
#include <type_traits>

#include "frame/ui/OrvPar.h"

namespace grid {

SpreadSettings SpreadSettings::Read(const QString& iniPath) {
    SpreadSettings s;
    if (iniPath.isEmpty() || !QFileInfo(iniPath).isFile()) return s;

    QSettings ini(iniPath, QSettings::IniFormat);
    QString group;
    for (const QString& g : ini.childGroups())
        if (g.compare(QLatin1String("SpreadSettings"), Qt::CaseInsensitive) == 0) group = g;
    if (group.isEmpty()) return s;
    ini.beginGroup(group);
    QHash<QString, QString> values;
    for (const QString& k : ini.childKeys()) values.insert(k.toLower(), ini.value(k).toString().trimmed());
    ini.endGroup();

    // Out-of-range values keep the default (and are logged): a colour above
    // 0xFFFFFF or a negative one would otherwise wrap into "no colour".
    auto read = [&](const char* key, auto& target, long max = 0xFFFFFF) {
        auto it = values.constFind(QString::fromLatin1(key).toLower());
        if (it == values.cend()) return;
        if (const auto n = frame::SettingNumber(*it, 0, max, group + u'/' + QLatin1String(key)))
            target = static_cast<std::remove_reference_t<decltype(target)>>(*n);
    };

    // The old control's enumerations: appearance classic, enhanced, visual
    // styles; visual styles default, on, off; four scroll-bar styles.
    read("AppearanceStyle", s.appearanceStyle, 2);
    read("UseVisualStyles", s.useVisualStyles, 2);
    read("ScrollBarStyle", s.scrollBarStyle, 3);
    read("GrayAreaBackColor", s.grayAreaBack);
    read("clrBackOdd", s.backOdd);
    read("clrForeOdd", s.foreOdd);
    read("clrBackEven", s.backEven);
    read("clrForeOdd", s.foreEven);
    read("SelBackColor", s.selBack);
    read("SelForeColor", s.selFore);

    static const char* const cornerKeys[6] = {"cornerBackColor",          "cornerhoverBackColor",
                                              "cornertriangleColor",      "cornertriangleHoverColor",
                                              "cornertriangleBorderColor", "cornertriangleHoverBorderColor"};
    for (int i = 0; i < 6; ++i) read(cornerKeys[i], s.corner[i]);

    static const char* const headerKeys[10] = {"SelectedHoverUpperColor", "SelectedHoverLowerColor",
                                               "SelectedUpperColor",      "SelectedLowerColor",
                                               "HoverUpperColor",         "HoverLowerColor",
                                               "UpperColor",              "LowerColor",
                                               "SelectedBorderColor",     "BorderColor"};
    for (int i = 0; i < 10; ++i) {
        read(("clr" + std::string(headerKeys[i])).c_str(), s.rowHeader[i]);
        read(("col" + std::string(headerKeys[i])).c_str(), s.colHeader[i]);
    }
    return s;
}

}  // namespace grid
