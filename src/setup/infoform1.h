#pragma once

#include "link/channel_reading.h"
#include "platform/core/clock.h"
#include "setup/i_will_dock_to_active_bar.h"
#include "setup/panel_rules.h"

#include <QPixmap>
#include <QWidget>
#include <array>

class AnalogGauge;
class BitmapView;
class CellBar;
class Dialogs;
class PanelLamp;
class QFrame;
class QLabel;
class SegmentReadout;
class Thermometer;

// The battery information panel: one channel reading at a glance on five gauges with their
// readouts, eight cell readouts and bars, the cells' statistics and two thermometers; and
// four lamps that show or hide the curves of the active chart window. It keeps no history,
// only the gauges' maxima, which only grow.
class Infoform1 final : public QWidget, public IWillDockToActiveBar {
    Q_OBJECT
public:
    // Changed readings are told to a screen reader at the pace of `clock`.
    Infoform1(Dialogs &dialogs, const Clock &clock, QWidget *parent = nullptr);

    void DockYourselfTo(CommandBar &ActiveBar, bool parmIsVisible = true,
                        qint32 paramDockingarea = 1, qint32 paramGrabHandleStyle = 0,
                        qint32 paramDockingOffset = 0) override;

    // A value that is not a number shows as 0.
    void ShowReading(const ChannelReading &reading);
    void ShowGauge(const Value &value, int index);
    void ShowCells(const std::array<Fixed, PanelRules::CellCount> &cells, const QString &type);

    // The lamp as the active chart window shows its curve; switches no curve.
    void setChartLight(int index, bool on);

    // The captions of the gauges, labels and lamps in the current language.
    void retranslateUi();

    // The controls by name and index.
    AnalogGauge &LED(int i) const { return *led_.at(i); }
    SegmentReadout &LED1(int i) const { return *led1_.at(i); }
    SegmentReadout &LED2(int i) const { return *led2_.at(i); }
    CellBar &BAR(int i) const { return *bar_.at(i); }
    SegmentReadout &LED3(int i) const { return *led3_.at(i); }
    // L1 to L4 by their number.
    QLabel &L(int number) const { return *l_.at(number - 1); }
    PanelLamp &ChartLight(int i) const { return *chartLight_.at(i); }
    Thermometer &InTemp() const { return *inTemp_; }
    Thermometer &ExtTemp() const { return *extTemp_; }
    QLabel &Lab_InTemp() const { return *labInTemp_; }
    QLabel &Lab_ExtTemp() const { return *labExtTemp_; }

signals:
    // The user switched lamp `index`.
    void ChartLightSwitched(int index, bool on);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void prepare();
    const QPixmap &face();
    QLabel *label(const QRect &at, Qt::Alignment alignment);

    Dialogs &dialogs_;
    std::array<PanelRules::GaugeScale, PanelRules::GaugeCount> scales_;
    std::array<AnalogGauge *, PanelRules::GaugeCount> led_ {};
    std::array<SegmentReadout *, PanelRules::GaugeCount> led1_ {};
    std::array<SegmentReadout *, PanelRules::CellCount> led2_ {};
    std::array<CellBar *, PanelRules::CellCount> bar_ {};
    std::array<SegmentReadout *, 4> led3_ {};
    std::array<QLabel *, 4> l_ {};
    std::array<PanelLamp *, 4> chartLight_ {};
    QFrame *frame2_;
    QPixmap face_; // the panel's background, drawn once per size
    Thermometer *inTemp_, *extTemp_;
    QLabel *labInTemp_, *labExtTemp_;
    BitmapView *image2_;
};
