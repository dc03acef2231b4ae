#include "book_feature/pack_labels.h"

#include "platform/pdf_text.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <qrencode.h>

#include <memory>

namespace {

// The code's dark modules, a row's run of them at a time, inside a quiet zone of four.
void drawQr(QPainter &painter, const QRectF &square, const QString &text)
{
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(text.toUtf8().constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1),
        &QRcode_free);
    if (!code)
        return;
    const int n = code->width;
    const double module = square.width() / (n + 8);
    const QPointF origin = square.topLeft() + QPointF(4 * module, 4 * module);
    const auto dark = [&](int x, int y) { return (code->data[y * n + x] & 1) != 0; };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n;) {
            if (!dark(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < n && dark(x, y))
                ++x;
            painter.fillRect(QRectF(origin.x() + start * module, origin.y() + y * module,
                                    (x - start) * module, module),
                             Qt::black);
        }
}

void drawLabel(QPainter &painter, const QRectF &cell, const PackLabel &label)
{
    // A faint line to cut along on plain paper.
    painter.setPen(QPen(Qt::lightGray, 0));
    painter.drawRect(cell);
    const double pad = cell.height() * 0.08;
    const QRectF inner = cell.adjusted(pad, pad, -pad, -pad);
    // The code's quiet zone is its padding.
    const double side = std::min(cell.height(), cell.width() * 0.4);
    drawQr(painter, QRectF(cell.left(), cell.center().y() - side / 2, side, side),
           QLatin1Char('#') + label.id);

    QStringList details;
    if (label.cells > 0)
        details << QCoreApplication::translate("PackLabels", "%1S").arg(label.cells);
    if (label.ratedMah)
        details << QCoreApplication::translate("PackLabels", "%1 mAh").arg(*label.ratedMah);
    const QRectF text = inner.adjusted(side - pad, 0, 0, 0); // right of the quiet zone
    // The ID largest, then the name and the cells and capacity.
    const struct {
        QString text;
        double size;
        bool bold;
    } lines[] = { { label.id, 0.24, true },
                  { label.name, 0.14, false },
                  { details.join(QStringLiteral(" · ")), 0.13, false } };
    double height = 0;
    for (const auto &line : lines)
        height += line.text.isEmpty() ? 0 : cell.height() * line.size * 1.3;
    double y = text.center().y() - height / 2;
    painter.setPen(Qt::black);
    for (const auto &line : lines) {
        if (line.text.isEmpty())
            continue;
        QFont font = painter.font();
        font.setPixelSize(std::max(1, int(cell.height() * line.size)));
        font.setBold(line.bold);
        painter.setFont(font);
        const QFontMetricsF metrics(font, painter.device());
        const double lineHeight = cell.height() * line.size * 1.3;
        painter.drawText(QRectF(text.left(), y, text.width(), lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(line.text, Qt::ElideRight, text.width()));
        y += lineHeight;
    }
}

} // namespace

int labelsPerSheet(LabelLayout layout)
{
    return layout == LabelLayout::TwoBySix ? 12 : 24;
}

QRectF labelCell(LabelLayout layout, const QRectF &area, int place)
{
    const int columns = layout == LabelLayout::TwoBySix ? 2 : 3;
    const QSizeF cell(area.width() / columns, area.height() * columns / labelsPerSheet(layout));
    const int column = place % columns, row = place / columns;
    return { area.topLeft() + QPointF(column * cell.width(), row * cell.height()), cell };
}

bool paintLabels(QPagedPaintDevice &device, LabelLayout layout,
                 const std::vector<PackLabel> &labels)
{
    device.setPageMargins(QMarginsF(LabelMarginMm, LabelMarginMm, LabelMarginMm, LabelMarginMm),
                          QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QRectF area(0, 0, device.width(), device.height());
    for (size_t i = 0; i < labels.size(); ++i) {
        const int place = int(i % labelsPerSheet(layout));
        if (i > 0 && place == 0)
            device.newPage();
        drawLabel(painter, labelCell(layout, area, place), labels[i]);
    }
    return painter.end();
}

bool writeLabelsPdf(const QString &path, const QPageSize &paper, LabelLayout layout,
                    const std::vector<PackLabel> &labels)
{
    QPdfWriter pdf(path);
    pdf.setPageSize(paper);
    pdf.setTitle(QCoreApplication::translate("PackLabels", "Pack labels"));
    if (!paintLabels(pdf, layout, labels))
        return false;
    mendPdfText(path);
    return true;
}
