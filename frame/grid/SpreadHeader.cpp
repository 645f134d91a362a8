#include "frame/grid/SpreadHeader.h"

#include <algorithm>

#include <QItemSelectionModel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include "frame/grid/SpreadModel.h"

namespace grid {

CSpreadHeader::CSpreadHeader(Qt::Orientation o, CSpreadModel* model, QWidget* parent)
    : QHeaderView(o, parent), m_model(model) {
    setMouseTracking(true);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
}

void CSpreadHeader::SetColors(const HeaderColors& c) {
    m_colors = c;
    viewport()->update();
}

void CSpreadHeader::SetGradient(bool on) {
    m_gradient = on;
    viewport()->update();
}

void CSpreadHeader::SetExtent(int px) {
    m_extent = px;
    updateGeometry();
}

int CSpreadHeader::LevelHeight() const { return fontMetrics().height() + 6; }

namespace {
constexpr int kTextPad = 3;  // each side of a caption
}

int CSpreadHeader::TwoLineWidth(const QString& text) const {
    const QFontMetrics fm = fontMetrics();
    int best = fm.horizontalAdvance(text);
    for (qsizetype i = text.indexOf(u' '); i > 0; i = text.indexOf(u' ', i + 1))
        best = std::min(best, std::max(fm.horizontalAdvance(text.left(i)), fm.horizontalAdvance(text.mid(i + 1))));
    return best;
}

int CSpreadHeader::MinSectionWidth(int logical) const {
    if (orientation() != Qt::Horizontal || !m_model) return 0;
    const long col = logical + 1;
    const QFontMetrics fm = fontMetrics();
    const int pad = 2 * kTextPad + 2;
    if (m_model->HeaderRows() < 2) return fm.horizontalAdvance(m_model->HeaderText(col, 0)) + pad;
    int need = 0;
    const HeaderSpan* span = m_model->SpanAt(0, col);
    if (!span) need = fm.horizontalAdvance(m_model->HeaderText(col, 0));
    else if (span->count == 1 && span->rows > 1) need = TwoLineWidth(m_model->HeaderText(col, 0));
    if (!span || span->rows < 2) need = std::max(need, fm.horizontalAdvance(m_model->HeaderText(col, 1)));
    return need > 0 ? need + pad : 0;
}

QSize CSpreadHeader::sizeHint() const {
    if (orientation() == Qt::Horizontal) {
        const int levels = m_model ? m_model->HeaderRows() : 1;
        return {length(), levels * LevelHeight()};
    }
    if (m_extent > 0) return {m_extent, length()};
    return QHeaderView::sizeHint();
}

void CSpreadHeader::mouseMoveEvent(QMouseEvent* e) {
    const int pos = orientation() == Qt::Horizontal ? e->position().toPoint().x() : e->position().toPoint().y();
    const int hover = logicalIndexAt(pos);
    if (hover != m_hover) {
        m_hover = hover;
        viewport()->update();
    }
    QHeaderView::mouseMoveEvent(e);
}

void CSpreadHeader::leaveEvent(QEvent* e) {
    m_hover = -1;
    viewport()->update();
    QHeaderView::leaveEvent(e);
}

bool CSpreadHeader::IsSelected(int logical) const {
    const QItemSelectionModel* sel = selectionModel();
    if (!sel) return false;
    const QModelIndex cur = sel->currentIndex();
    if (orientation() == Qt::Horizontal)
        return (cur.isValid() && cur.column() == logical) || sel->columnIntersectsSelection(logical, rootIndex());
    return (cur.isValid() && cur.row() == logical) || sel->rowIntersectsSelection(logical, rootIndex());
}

// Hidden sections measure 0, so adding sizes gives the span's on-screen extent.
int CSpreadHeader::SpanLeft(long firstCol, int logical, const QRect& rect) const {
    int left = rect.left();
    for (long c = firstCol; c < logical + 1; ++c) left -= sectionSize(static_cast<int>(c - 1));
    return left;
}

int CSpreadHeader::SpanWidth(long firstCol, long count) const {
    int w = 0;
    for (long c = firstCol; c < firstCol + count; ++c)
        if (c - 1 < this->count()) w += sectionSize(static_cast<int>(c - 1));
    return w;
}

void CSpreadHeader::PaintBand(QPainter* p, const QRect& band, const QRect& clip, const QString& text,
                              bool selected, bool hover) const {
    QColor up = m_colors.upper, low = m_colors.lower, border = m_colors.border;
    if (selected && hover) {
        up = m_colors.selHoverUpper;
        low = m_colors.selHoverLower;
    } else if (selected) {
        up = m_colors.selUpper;
        low = m_colors.selLower;
    } else if (hover) {
        up = m_colors.hoverUpper;
        low = m_colors.hoverLower;
    }
    if (selected) border = m_colors.selBorder;
    p->save();
    p->setClipRect(clip);
    if (m_gradient) {
        QLinearGradient g(band.topLeft(), band.bottomLeft());
        g.setColorAt(0, up);
        g.setColorAt(1, low);
        p->fillRect(band, g);
    } else {
        p->fillRect(band, up);
    }
    p->setPen(border);
    p->drawLine(band.topRight(), band.bottomRight());
    p->drawLine(band.bottomLeft(), band.bottomRight());
    p->setPen(palette().color(QPalette::ButtonText));
    const QRect textRect = band.adjusted(kTextPad, 0, -kTextPad, 0);
    const QFontMetrics fm = fontMetrics();
    // A caption over both rows has room for two lines before it elides.
    if (fm.horizontalAdvance(text) > textRect.width() && textRect.height() >= 2 * fm.height() &&
        TwoLineWidth(text) <= textRect.width())
        p->drawText(textRect, Qt::AlignCenter | Qt::TextWordWrap, text);
    else
        p->drawText(textRect, Qt::AlignCenter, fm.elidedText(text, Qt::ElideRight, textRect.width()));
    p->restore();
}

void CSpreadHeader::paintSection(QPainter* p, const QRect& rect, int logical) const {
    if (!rect.isValid() || !m_model) return;
    const bool selected = IsSelected(logical);
    const bool hover = logical == m_hover;
    if (orientation() == Qt::Vertical) {
        PaintBand(p, rect, rect, m_model->RowHeaderText(logical + 1), selected, hover);
        return;
    }
    const long col = logical + 1;
    const int levels = m_model->HeaderRows();
    if (levels < 2) {
        PaintBand(p, rect, rect, m_model->HeaderText(col, 0), selected, hover);
    } else {
        const int h = rect.height() / 2;
        const HeaderSpan* span = m_model->SpanAt(0, col);
        const long first = span ? span->firstCol : col;
        const long n = span ? span->count : 1;
        const bool bothRows = span && span->rows > 1;
        // The band's state follows any of its columns, as the caption does.
        bool spanSel = selected, spanHover = hover;
        for (long c = first; c < first + n; ++c) {
            spanSel = spanSel || IsSelected(static_cast<int>(c - 1));
            spanHover = spanHover || m_hover == c - 1;
        }
        const QRect top(SpanLeft(first, logical, rect), rect.top(), SpanWidth(first, n), bothRows ? rect.height() : h);
        const QRect topClip(rect.left(), rect.top(), rect.width(), top.height());
        PaintBand(p, top, topClip, m_model->HeaderText(first, 0), spanSel, spanHover);
        if (!bothRows) {
            const QRect low(rect.left(), rect.top() + h, rect.width(), rect.height() - h);
            PaintBand(p, low, low, m_model->HeaderText(col, 1), selected, hover);
        }
    }
    if (isSortIndicatorShown() && sortIndicatorSection() == logical) {
        // A small triangle at the right of the lowest caption.
        const int s = 4, cx = rect.right() - 8, cy = rect.bottom() - rect.height() / (2 * levels);
        QPolygon tri;
        if (sortIndicatorOrder() == Qt::AscendingOrder)
            tri << QPoint(cx - s, cy + s / 2) << QPoint(cx + s, cy + s / 2) << QPoint(cx, cy - s / 2);
        else
            tri << QPoint(cx - s, cy - s / 2) << QPoint(cx + s, cy - s / 2) << QPoint(cx, cy + s / 2);
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->setPen(Qt::NoPen);
        p->setBrush(palette().color(QPalette::ButtonText));
        p->drawPolygon(tri);
        p->restore();
    }
}

}  // namespace grid
