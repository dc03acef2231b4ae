#pragma once

#include "platform/clipboard.h"
#include "platform/printer.h"

#include <QMimeData>
#include <QPrinter>

#include <memory>

// Keeps what was put on the clipboard.
class RecordingClipboard final : public Clipboard {
public:
    std::unique_ptr<QMimeData> data;
    void setMimeData(QMimeData *d) override { data.reset(d); }
};

// Records the margins asked for and prints the page into `pdfPath`, when set.
class RecordingPrinter final : public Printer {
public:
    QList<double> margins;
    QString pdfPath;
    void preview(double marginPercent, const std::function<void(QPrinter &)> &paint) override
    {
        margins << marginPercent;
        if (pdfPath.isEmpty())
            return;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        paint(printer);
    }
    // What is printed on chosen paper is tested as its PDF.
    void print(const QPageSize &, const std::function<void(QPrinter &)> &) override { }
};
