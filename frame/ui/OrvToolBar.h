// A row of command buttons at the top of a dialog. A click emits command(id);
// the dialog runs the command only while the button is enabled.
#pragma once

#include <map>

#include <QPointer>
#include <QString>
#include <QWidget>

class OrvFlowLayout;
class QToolButton;

// Image ids of AddButton; each maps to a standard icon of the style.
enum OrvToolBarImage {
    IMG_NONE = 0,
    IMG_NUOVO = 6951,
    IMG_APRI = 6952,
    IMG_ELIMINA = 6953,
    IMG_PRECEDENTE = 6954,
    IMG_SUCCESSIVO = 6955,
    IMG_CERCA = 6956,
    IMG_ANNULLA = 6957,
    IMG_STAMPA = 6958,
    IMG_SALVA = 6959,
    IMG_SELEZIONA = 6960,
    IMG_AGGIUNGI = 6961,
    IMG_IMPORTA = 6962,
};

// Styles of AddButton (the low byte), plus flags.
enum OrvToolBarStyle {
    TBS_AUTO = 0,          // icon and caption
    TBS_CAPTION = 1,       // caption only
    TBS_ICON = 2,          // icon only (the caption becomes the tooltip)
    TBS_ICON_CAPTION = 3,  // icon and caption
    TBS_BEGIN_GROUP = 0x100,  // a separator before the button
};

class COrvToolBar : public QWidget {
    Q_OBJECT
public:
    explicit COrvToolBar(QWidget* parent = nullptr);

    // Batches the additions (no relayout until EndCreate).
    void BeginCreate();
    // False when the id is already present.
    bool AddButton(int id, int image, const QString& caption, int style = TBS_ICON_CAPTION);
    void AddSeparator();
    void EndCreate();

    bool HasButton(int id) const { return m_buttons.count(id) != 0; }
    // Present, shown and enabled.
    bool IsButtonEnabled(int id) const;
    void EnableButton(int id, bool enable = true);
    void ShowButton(int id, bool show = true);
    void SetButtonFocus(int id);
    void SetButtonTooltip(int id, const QString& tip);
    void SetButtonCaption(int id, const QString& caption);
    QString ButtonCaption(int id) const;
    // A separator before the button (the start of a group).
    void SetBeginGroup(int id, bool on = true);
    QToolButton* Button(int id) const;
    int ButtonCount() const { return static_cast<int>(m_buttons.size()); }

    static QIcon ImageIcon(int image);

signals:
    void command(int id);

private:
    OrvFlowLayout* m_layout;
    std::map<int, QPointer<QToolButton>> m_buttons;
    std::map<int, QPointer<QWidget>> m_groupSeparators;  // by the id that follows
    QWidget* NewSeparator();
    int m_pendingGroup = 0;  // AddSeparator before the next button
};
