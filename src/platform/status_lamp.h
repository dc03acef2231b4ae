#pragma once

#include <QColor>
#include <QWidget>

// A small round lamp for the status bar: lit in its colour, or dark.
class StatusLamp : public QWidget {
    Q_OBJECT
public:
    explicit StatusLamp(QColor litColor, QWidget *parent = nullptr);

    bool isOn() const { return on_; }
    void setOn(bool on);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor litColor_;
    bool on_ = false;
};
