#pragma once

#include <QWidget>

class QCustomPlot;

// What every chart of the program is: one QCustomPlot filling the widget, its axes' texts sized
// in pixels, so that a picture or a page lays it out as the screen does.
class PlotChart : public QWidget {
    Q_OBJECT
public:
    QCustomPlot *plot() const { return plot_; }

protected:
    explicit PlotChart(QWidget *parent = nullptr);
    // A chart never shown has no size yet: drawn as a new one would be.
    QSize pictureSize() const;
    void resizeEvent(QResizeEvent *event) override;

    QCustomPlot *plot_;
};
