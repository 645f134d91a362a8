#include "frame/ui/OrvFlowLayout.h"

#include <QWidget>
#include <QWidgetItem>

OrvFlowLayout::OrvFlowLayout(QWidget* parent, int spacing) : QLayout(parent) { setSpacing(spacing); }

OrvFlowLayout::~OrvFlowLayout() {
    while (QLayoutItem* item = takeAt(0)) delete item;
}

void OrvFlowLayout::insertWidget(int index, QWidget* w) {
    addChildWidget(w);
    if (index < 0 || index > m_items.size()) index = int(m_items.size());
    m_items.insert(index, new QWidgetItem(w));
    invalidate();
}

void OrvFlowLayout::addItem(QLayoutItem* item) { m_items.append(item); }

QLayoutItem* OrvFlowLayout::itemAt(int index) const {
    return (index >= 0 && index < m_items.size()) ? m_items.at(index) : nullptr;
}

QLayoutItem* OrvFlowLayout::takeAt(int index) {
    return (index >= 0 && index < m_items.size()) ? m_items.takeAt(index) : nullptr;
}

int OrvFlowLayout::heightForWidth(int width) const { return doLayout(QRect(0, 0, width, 0), false); }

QSize OrvFlowLayout::minimumSize() const {
    QSize size;
    for (const QLayoutItem* item : m_items) size = size.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize OrvFlowLayout::sizeHint() const {
    // one row when there is room for it
    int w = 0, h = 0;
    for (const QLayoutItem* item : m_items) {
        if (item->isEmpty()) continue;
        w += item->sizeHint().width() + spacing();
        h = std::max(h, item->sizeHint().height());
    }
    const QMargins m = contentsMargins();
    return QSize(w + m.left() + m.right(), h + m.top() + m.bottom());
}

void OrvFlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    doLayout(rect, true);
}

int OrvFlowLayout::doLayout(const QRect& rect, bool apply) const {
    const QMargins m = contentsMargins();
    const QRect area = rect.adjusted(m.left(), m.top(), -m.right(), -m.bottom());
    int x = area.x(), y = area.y(), lineHeight = 0;
    for (QLayoutItem* item : m_items) {
        if (item->isEmpty()) continue;
        const QSize hint = item->sizeHint();
        if (x > area.x() && x + hint.width() > area.right() + 1) {
            x = area.x();
            y += lineHeight + spacing();
            lineHeight = 0;
        }
        if (apply) item->setGeometry(QRect(QPoint(x, y), hint));
        x += hint.width() + spacing();
        lineHeight = std::max(lineHeight, hint.height());
    }
    return y + lineHeight - rect.y() + m.bottom();
}
