#pragma once

#include <QWidget>

// A frame in the highlight colour around a widget while it has the keyboard focus, for widgets
// that show none of their own (a chart, a page without a frame). A child of the widget, drawn
// over it and blind to the mouse.
class FocusRing final : public QWidget {
    Q_OBJECT
public:
    explicit FocusRing(QWidget *target);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
