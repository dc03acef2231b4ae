#include "platform/focus_ring.h"

#include <QEvent>
#include <QPainter>

FocusRing::FocusRing(QWidget *target) : QWidget(target)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    target->installEventFilter(this);
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event)
{
    const auto *target = parentWidget();
    if (watched == target) {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            setVisible(target->hasFocus());
            [[fallthrough]];
        case QEvent::Resize:
            setGeometry(target->rect());
            raise();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    constexpr int Width = 2;
    painter.setPen(QPen(palette().color(QPalette::Highlight), Width));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}
