#pragma once

#include <QAbstractButton>

// A lamp that the user switches by clicking: a bulb over its caption, lit in its colour
// while checked.
class PanelLamp : public QAbstractButton {
    Q_OBJECT
public:
    explicit PanelLamp(QColor litColor, QWidget *parent = nullptr);

    QSize sizeHint() const override { return { 35, 34 }; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor litColor_;
};
