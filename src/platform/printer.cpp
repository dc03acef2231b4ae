#include "platform/printer.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QStyle>

void QtPrinter::preview(double marginPercent, const std::function<void(QPrinter &)> &paint)
{
    QPrinter printer(QPrinter::HighResolution);
    const QSizeF page = printer.pageLayout().fullRect(QPageLayout::Point).size();
    const double x = page.width() * marginPercent / 100, y = page.height() * marginPercent / 100;
    printer.setPageMargins(QMarginsF(x, y, x, y), QPageLayout::Point);
    QPrintPreviewDialog dialog(&printer, parent_);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                     [&paint](QPrinter *p) { paint(*p); });
    // Most of the screen, where a page is large enough to read.
    if (const QScreen *screen = parent_ ? parent_->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        dialog.setGeometry(
            QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, area.size() * 0.85, area));
    }
    dialog.exec();
}

void QtPrinter::print(const QPageSize &paper, const std::function<void(QPrinter &)> &paint)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(paper);
    QPrintDialog dialog(&printer, parent_);
    if (dialog.exec() == QDialog::Accepted)
        paint(printer);
}
