#pragma once

#include <QObject>

#include <functional>
#include <vector>

class QWidget;

// F6 and Shift+F6 move the keyboard focus from one region of the main window to the next and
// back, as desktop programs do; Tab then moves within the region.
class FocusRegions final : public QObject {
    Q_OBJECT
public:
    // Each region's widget as it is at the moment; a null or hidden one is passed over.
    using Region = std::function<QWidget *()>;
    FocusRegions(QWidget &window, std::vector<Region> regions);

private:
    void move(int step);

    std::vector<Region> regions_;
};
