#pragma once

#include <QProgressBar>

// A vertical bar, 0 to 100, filled from the bottom with a picture of the program's
// resources ("RED", "YELLOW", "GREEN"). A value or fill it already shows draws nothing.
class CellBar : public QProgressBar {
    Q_OBJECT
public:
    explicit CellBar(QWidget *parent = nullptr);

    void setFill(const QString &bitmap);
    QString fill() const { return fill_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString fill_;
};
