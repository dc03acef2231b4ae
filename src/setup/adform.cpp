#include "setup/adform.h"

#include "platform/focus_ring.h"
#include "setup/config.h"
#include "setup/tips.h"

#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QTextBrowser>

namespace {

// The arrow's column at the pane's edge: the browser leaves it free.
constexpr int arrowColumn = 8;

// The store gives the width in twips.
int pixels(qint32 twips)
{
    return twips / 15;
}

} // namespace

adform::adform(InterfaceTextStore &store, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), Web(new QTextBrowser(this)), Image1(new QLabel(this)), store_(store),
      dialogs_(dialogs)
{
    setObjectName(QStringLiteral("adform"));
    setWindowTitle(QStringLiteral("Advertising Spot"));
    Web->setOpenExternalLinks(true);
    Web->setFrameShape(QFrame::NoFrame);
    new FocusRing(Web);
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);
    const Config config(store_);
    if (!config.AD_Html_FileName().isEmpty()) {
        Web->setSource(QUrl::fromLocalFile(config.AD_Html_FileName()));
        translateTips(*Web->document());
    }
    setFixedWidth(pixels(config.AdWidth()));
    place();
}

void adform::DockYourselfTo(CommandBar &ActiveBar, bool parmIsVisible, qint32 paramDockingarea,
                            qint32, qint32)
{
    band_ = dock(ActiveBar, *this, dialogs_, parmIsVisible, paramDockingarea);
    if (!band_)
        return;
    // Held where it is, and without a grab handle whatever the caller asks.
    band_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    auto *none = new QWidget(band_);
    (new QHBoxLayout(none))->setContentsMargins(0, 0, 0, 0);
    band_->setTitleBarWidget(none);
}

void adform::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    place();
}

void adform::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    place(); // the fold arrow's name
    if (Web->source().isValid()) {
        Web->reload();
        translateTips(*Web->document());
    }
}

bool adform::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Image1 && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Image1_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void adform::Image1_Click()
{
    folded_ = !folded_;
    // The fixed width is the band's width: a drag on the dock's edge cannot change it.
    setFixedWidth(folded_ ? arrowColumn : pixels(Config(store_).AdWidth()));
    place();
}

void adform::place()
{
    Web->setVisible(!folded_);
    if (!folded_)
        Web->setGeometry(0, 0, width() - arrowColumn, height());
    const QPixmap arrow(folded_ ? QStringLiteral(":/bitmaps/SCROLL_B0.png")
                                : QStringLiteral(":/bitmaps/SCROLL_A0.png"));
    Image1->setPixmap(arrow);
    Image1->setAccessibleName(folded_ ? tr("Unfold the side pane") : tr("Fold the side pane"));
    Image1->setGeometry(width() - arrowColumn, (height() - arrow.height()) / 2, arrow.width(),
                        arrow.height());
}
