#pragma once

#include <QByteArray>
#include <QColor>
#include <QWidget>

#include <functional>

class QCustomPlot;
class QPaintDevice;

// An SVG picture of `size` pixels at `dpi`, titled `title`, that `draw` paints.
QByteArray svgPicture(QSize size, int dpi, const QString &title,
                      const std::function<void(QPaintDevice &)> &draw);

// What every chart of the program is: one QCustomPlot filling the widget, its axes' texts sized
// in pixels, so that a picture or a page lays it out as the screen does.
class PlotChart : public QWidget {
    Q_OBJECT
public:
    QCustomPlot *plot() const { return plot_; }
    // The colours it draws in: the desktop's on screen, dark on white on paper and in copies.
    struct Ink {
        QColor background, text, grid;
    };
    Ink ink(bool paper) const;
    // What a screen reader hears of it unless given a name or description: its title (that of
    // the nearest window or sub-window with one), and the latest reading where it has one.
    virtual QString accessibleTitle() const;
    virtual QString latestReading() const { return {}; }

protected:
    explicit PlotChart(QWidget *parent = nullptr);
    // A chart never shown has no size yet: drawn as a new one would be.
    QSize pictureSize() const;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Draws in ink(paper); the screen's ink again when the desktop's palette changes.
    virtual void paint(bool paper);
    // The curves' thin pens as wide as the axes': the plot draws a pen of 1 px on screen as one
    // device pixel, faint beside the axes at 200 %. Before every replot, and on paper.
    void fitCurvePens();
    // On paper for as long as it lives: prints and copies are on white whatever the screen is.
    class OnPaper {
    public:
        explicit OnPaper(PlotChart &chart);
        ~OnPaper();
        OnPaper(const OnPaper &) = delete;
        OnPaper &operator=(const OnPaper &) = delete;

    private:
        PlotChart &chart_;
    };

    QCustomPlot *plot_;

private:
    bool onPaper_ = false;
};
