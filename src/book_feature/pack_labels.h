#pragma once

#include <QPageSize>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

class QPagedPaintDevice;

// What a pack's label shows.
struct PackLabel {
    QString id, name; // the QR code holds the tag a scan types: "#" and the ID
    int cells = 0;
    std::optional<double> ratedMah;
};

// Labels a sheet, in columns × rows.
enum class LabelLayout { TwoBySix, ThreeByEight };
int labelsPerSheet(LabelLayout layout);
// The paper's edge left blank: most printers cannot print closer.
constexpr double LabelMarginMm = 8;
// Where the label at `place` of a sheet stands in the printable `area`.
QRectF labelCell(LabelLayout layout, const QRectF &area, int place);

// Draws `labels` on as many pages of `device` as they need, on the device's paper; false when
// the device cannot be painted on.
bool paintLabels(QPagedPaintDevice &device, LabelLayout layout,
                 const std::vector<PackLabel> &labels);
// The same into a PDF file on `paper`; false when the file cannot be written.
bool writeLabelsPdf(const QString &path, const QPageSize &paper, LabelLayout layout,
                    const std::vector<PackLabel> &labels);
