// Header of CSpreadSheet: gradient sections in the colours of the settings
// file, and for the column header one or two caption rows where a top caption
// may span several columns or both rows. The spans are painted, not real
// merged sections: each section paints its own slice of the span's band with
// the caption placed on the whole span, so slices line up however the header
// is scrolled or repainted.
#pragma once

#include <QColor>
#include <QHeaderView>

namespace grid {

class CSpreadModel;

// The ten colours of one header, in the order the settings file lists them.
struct HeaderColors {
    QColor selHoverUpper, selHoverLower;
    QColor selUpper, selLower;
    QColor hoverUpper, hoverLower;
    QColor upper, lower;
    QColor selBorder, border;
};

class CSpreadHeader : public QHeaderView {
    Q_OBJECT
public:
    CSpreadHeader(Qt::Orientation o, CSpreadModel* model, QWidget* parent);

    void SetColors(const HeaderColors& c);
    const HeaderColors& Colors() const { return m_colors; }
    void SetGradient(bool on);  // false: flat upper colour (classic look)
    // Row header: the width the grid gives it (0 = by contents).
    void SetExtent(int px);
    int LevelHeight() const;
    // The narrowest width, in pixels, at which the column's own captions read
    // whole: its lower caption on one line, its top caption when it stands
    // over this column alone (on two lines when it covers both rows).
    // Captions spanning several columns are not the column's to fit.
    int MinSectionWidth(int logical) const;

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* p, const QRect& rect, int logical) const override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void PaintBand(QPainter* p, const QRect& band, const QRect& clip, const QString& text, bool selected,
                   bool hover) const;
    // Width of a caption broken at its best blank into two lines.
    int TwoLineWidth(const QString& text) const;
    bool IsSelected(int logical) const;
    int SpanLeft(long firstCol, int logical, const QRect& rect) const;
    int SpanWidth(long firstCol, long count) const;

    CSpreadModel* m_model;
    HeaderColors m_colors;
    bool m_gradient = true;
    int m_extent = 0;
    int m_hover = -1;
};

}  // namespace grid
