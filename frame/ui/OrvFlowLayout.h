// A layout that lays its widgets in a row and wraps to further rows when the
// row is full, so a toolbar with many buttons never makes its dialog wider
// than the screen and every button stays visible.
#pragma once

#include <QLayout>
#include <QList>

class OrvFlowLayout : public QLayout {
public:
    explicit OrvFlowLayout(QWidget* parent = nullptr, int spacing = 2);
    ~OrvFlowLayout() override;

    void insertWidget(int index, QWidget* w);

    void addItem(QLayoutItem* item) override;
    int count() const override { return int(m_items.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Lays the items out in rect (or only measures); returns the height used.
    int doLayout(const QRect& rect, bool apply) const;
    QList<QLayoutItem*> m_items;
};
