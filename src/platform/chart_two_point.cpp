#include "platform/chart.h"

#include <qcustomplot.h>

#include <QLabel>

namespace {
constexpr double SecondsPerDay = 86400.0;
const QColor Marker(255, 160, 0);
} // namespace

void Chart::watchShiftPresses()
{
    connect(plot_, &QCustomPlot::mousePress, this, [this](QMouseEvent *event) {
        if (event->modifiers().testFlag(Qt::ShiftModifier))
            emit shiftPressed(event->position().toPoint());
    });
}

void Chart::setReferenceTime(std::optional<double> days)
{
    if (!days) {
        if (reference_) {
            plot_->removeItem(reference_);
            reference_ = nullptr;
            changed();
        }
        return;
    }
    if (!reference_) {
        reference_ = new QCPItemStraightLine(plot_);
        reference_->setPen(QPen(Marker, 1, Qt::DashLine));
        reference_->setSelectable(false);
    }
    // Two points on one time make the line vertical, whatever the value axis shows.
    reference_->point1->setCoords(*days * SecondsPerDay, 0);
    reference_->point2->setCoords(*days * SecondsPerDay, 1);
    changed();
}

std::optional<double> Chart::referenceTime() const
{
    if (!reference_)
        return std::nullopt;
    return reference_->point1->key() / SecondsPerDay;
}

void Chart::setReadout(QPoint at, const QString &text)
{
    if (text.isEmpty()) {
        if (readout_)
            readout_->hide();
        return;
    }
    if (!readout_) {
        readout_ = new QLabel(plot_);
        readout_->setAttribute(Qt::WA_TransparentForMouseEvents);
        readout_->setStyleSheet(QStringLiteral("QLabel { background: rgba(0, 0, 64, 210); "
                                               "color: white; border: 1px solid #ffa000; "
                                               "padding: 2px 4px; }"));
    }
    readout_->setText(text);
    readout_->adjustSize();
    // Below right of the cross-hair, or on the side that keeps it inside the chart.
    constexpr int Gap = 12;
    QPoint p = at + QPoint(Gap, Gap);
    if (p.x() + readout_->width() > plot_->width())
        p.rx() = at.x() - Gap - readout_->width();
    if (p.y() + readout_->height() > plot_->height())
        p.ry() = at.y() - Gap - readout_->height();
    readout_->move(p);
    readout_->show();
    readout_->raise();
}

QString Chart::readout() const
{
    return readout_ && !readout_->isHidden() ? readout_->text() : QString();
}
