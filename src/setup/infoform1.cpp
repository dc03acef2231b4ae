#include "setup/infoform1.h"

#include "platform/analog_gauge.h"
#include "platform/bitmaps.h"
#include "platform/cell_bar.h"
#include "platform/panel_lamp.h"
#include "platform/segment_readout.h"
#include "platform/thermometer.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

namespace {
using namespace PanelRules;

const QColor CellDigits(0, 192, 192);
constexpr int PanelHeight = 2100 / TwipsPerPixel;
constexpr std::array<int, GaugeCount> GaugeX = { 0, 108, 216, 324, 433 };
constexpr std::array<int, CellCount> CellX = { 582, 627, 672, 717, 761, 806, 851, 896 };

Fixed number(const Value &v)
{
    return v.number().value_or(Fixed());
}

AnalogGauge::Scale shownScale(const GaugeScale &s)
{
    return { double(s.maximum), s.firstMark, s.secondMark, s.step };
}
} // namespace

Infoform1::Infoform1(Dialogs &dialogs, const Clock &clock, QWidget *parent)
    : QWidget(parent), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("Infoform1"));
    setFixedHeight(PanelHeight);
    // Every pixel comes from the face picture, so nothing below needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette text = palette();
    text.setColor(QPalette::WindowText, QColor(200, 208, 216));
    setPalette(text);

    const std::array<QColor, GaugeCount> colours
        = { Qt::red, Qt::red, Qt::yellow, QColor(0, 255, 0), QColor(255, 128, 0) };
    const std::array<const char *, GaugeCount> units = { "V", "V", "mAh", "mA", "W" };
    for (int i = 0; i < GaugeCount; ++i) {
        scales_[i] = startScale(i);
        led_[i] = new AnalogGauge(clock, colours[i], this);
        led_[i]->setObjectName(QStringLiteral("LED(%1)").arg(i));
        led_[i]->setGeometry(GaugeX[i], 0, 110, 110);
        led_[i]->setBackground(QStringLiteral("BIAO"));
        led_[i]->setUnit(QLatin1String(units[i]));
        led_[i]->setScale(shownScale(scales_[i]));
        led1_[i] = new SegmentReadout(clock, 6, colours[i], this);
        led1_[i]->setObjectName(QStringLiteral("LED1(%1)").arg(i));
        led1_[i]->setGeometry(GaugeX[i], 112, 110, 25);
        led1_[i]->setUnit(led_[i]->unit());
    }

    const std::array<QColor, 4> lampColours = { Qt::red, QColor(0, 255, 0), Qt::yellow, Qt::white };
    for (int i = 0; i < 4; ++i) {
        chartLight_[i] = new PanelLamp(lampColours[i], this);
        chartLight_[i]->setObjectName(QStringLiteral("ChartLight(%1)").arg(i));
        chartLight_[i]->setGeometry(545, 1 + 34 * i, 35, 34);
        connect(chartLight_[i], &QAbstractButton::clicked, this,
                [this, i](bool on) { emit ChartLightSwitched(i, on); });
    }

    frame2_ = new QFrame(this);
    frame2_->setObjectName(QStringLiteral("Frame2"));
    frame2_->setGeometry(CellX[0] - 2, 2, CellX[CellCount - 1] + 43 - CellX[0] + 4, 108);
    for (int i = 0; i < CellCount; ++i) {
        bar_[i] = new CellBar(clock, frame2_);
        bar_[i]->setObjectName(QStringLiteral("BAR(%1)").arg(i));
        bar_[i]->setGeometry(CellX[i] - frame2_->x() + 11, 6, 21, 96);
        led2_[i] = new SegmentReadout(clock, 3, Qt::black, this);
        led2_[i]->setObjectName(QStringLiteral("LED2(%1)").arg(i));
        led2_[i]->setGeometry(CellX[i], 112, 43, 25);
        led2_[i]->setUnit(QStringLiteral("V"));
    }

    for (int i = 0; i < 4; ++i) {
        l_[i] = label(QRect(942, 2 + 34 * i, 26, 30), Qt::AlignRight | Qt::AlignVCenter);
        l_[i]->setObjectName(QStringLiteral("L%1").arg(i + 1));
        led3_[i] = new SegmentReadout(clock, 3, CellDigits, this);
        led3_[i]->setObjectName(QStringLiteral("LED3(%1)").arg(i));
        led3_[i]->setGeometry(970, 4 + 34 * i, 50, 28);
        led3_[i]->setUnit(QStringLiteral("V"));
        l_[i]->setBuddy(led3_[i]);
    }

    inTemp_ = new Thermometer(clock, 0, 85, this);
    inTemp_->setObjectName(QStringLiteral("InTemp"));
    inTemp_->setGeometry(1024, 3, 65, 120);
    extTemp_ = new Thermometer(clock, 0, 85, this);
    extTemp_->setObjectName(QStringLiteral("ExtTemp"));
    extTemp_->setGeometry(1096, 3, 65, 120);
    labInTemp_ = label(QRect(1024, 123, 42, 15), Qt::AlignCenter);
    labInTemp_->setObjectName(QStringLiteral("Lab_InTemp"));
    labExtTemp_ = label(QRect(1096, 123, 42, 15), Qt::AlignCenter);
    labExtTemp_->setObjectName(QStringLiteral("Lab_ExtTemp"));
    labInTemp_->setBuddy(inTemp_);
    labExtTemp_->setBuddy(extTemp_);

    image2_ = new BitmapView(QStringLiteral("Image2"), this);
    image2_->setObjectName(QStringLiteral("Image2"));
    image2_->setGeometry(1172, 18, 358, 103);

    ShowCells({}, QString());
    retranslateUi();
}

QLabel *Infoform1::label(const QRect &at, Qt::Alignment alignment)
{
    auto *l = new QLabel(this);
    l->setGeometry(at);
    l->setAlignment(alignment);
    QFont small = l->font();
    small.setPixelSize(11);
    l->setFont(small);
    return l;
}

void Infoform1::retranslateUi()
{
    setWindowTitle(tr("Infomation panel"));
    const std::array<QString, GaugeCount> gauges
        = { tr("Input Volt"), tr("Output Volt"), tr("Capacity"), tr("Current"), tr("Power") };
    // The captions are terse; a screen reader says what the gauges measure.
    const std::array<QString, GaugeCount> gaugeNames
        = { tr("Input voltage"), tr("Battery voltage"), tr("Capacity"), tr("Current"),
            tr("Power") };
    for (int i = 0; i < GaugeCount; ++i) {
        led_[i]->setCaption(gauges[i]);
        led_[i]->setAccessibleName(gaugeNames[i]);
        led1_[i]->setAccessibleName(tr("%1, digits").arg(gaugeNames[i]));
    }
    for (int i = 0; i < CellCount; ++i) {
        led2_[i]->setAccessibleName(tr("Cell %1").arg(i + 1));
        bar_[i]->setAccessibleName(tr("Cell %1 charge").arg(i + 1));
    }
    const std::array<QString, 4> stats = { tr("Max"), tr("Min"), tr("Avg"), tr("\u25b3:") };
    // The labels are terse; a screen reader says what the readouts hold.
    const std::array<QString, 4> statNames
        = { tr("Highest cell"), tr("Lowest cell"), tr("Average cell"), tr("Cell spread") };
    for (int i = 0; i < 4; ++i) {
        l_[i]->setText(stats[i]);
        led3_[i]->setAccessibleName(statNames[i]);
    }
    labInTemp_->setText(tr("Int."));
    labExtTemp_->setText(tr("Ext."));
    inTemp_->setAccessibleName(tr("Internal temperature"));
    extTemp_->setAccessibleName(tr("External temperature"));
    const std::array<QString, 4> lamps = { tr("Volt"), tr("Curr"), tr("Cap"), tr("Temp") };
    for (int i = 0; i < 4; ++i)
        chartLight_[i]->setText(lamps[i]);
}

void Infoform1::DockYourselfTo(CommandBar &ActiveBar, bool parmIsVisible, qint32 paramDockingarea,
                               qint32, qint32)
{
    dock(ActiveBar, *this, dialogs_, parmIsVisible, paramDockingarea);
}

void Infoform1::ShowReading(const ChannelReading &reading)
{
    ShowGauge(reading[In_Volt], 0);
    ShowGauge(reading[Bat_volt], 1);
    ShowGauge(Fixed::fromRaw(number(reading[Current]).abs().raw() * 1000), 3);
    ShowGauge(reading[Cap], 2);
    ShowGauge(reading[Power], 4);
    inTemp_->setValue(number(reading[In_temp]).toDouble());
    extTemp_->setValue(number(reading[Ext_temp]).toDouble());
    // Only lithium packs report their cells; other chemistries show none, whatever came.
    const QString type = reading[Type].text();
    std::array<Fixed, CellCount> cells {};
    if (type == QLatin1String("LiIo/Po/Fe"))
        for (int i = 0; i < CellCount; ++i)
            cells[i] = number(reading[C1 + i]);
    ShowCells(cells, type);
}

void Infoform1::ShowGauge(const Value &value, int index)
{
    const Fixed v = number(value);
    scales_.at(index) = grownScale(scales_[index], index, v);
    led_[index]->setScale(shownScale(scales_[index]));
    led_[index]->setValue(v.toDouble());
    const bool whole = index == 2 || index == 3;
    led1_[index]->showText(whole ? QString::number(v.roundedHalfEven()) : v.format2());
}

void Infoform1::ShowCells(const std::array<Fixed, CellCount> &cells, const QString &type)
{
    for (int i = 0; i < CellCount; ++i) {
        const CellShown shown = cellShown(type, cells[i]);
        led2_[i]->setDigitColor(shown.dark ? QColor(Qt::black) : CellDigits);
        led2_[i]->showText(cells[i].format2());
        bar_[i]->setFill(fillBitmap(shown.fill));
        bar_[i]->setValue(shown.bar);
    }
    const CellSummary s = summarise(cells);
    const std::array<Fixed, 4> stats = { s.highest, s.lowest, s.average, s.spread };
    for (int i = 0; i < 4; ++i)
        led3_[i]->showText(stats[i].format2());
}

void Infoform1::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    drawInBands(painter, event->region(), face());
}

// Drawn once per size: a gradient drawn anew under every moving needle costs more than all the
// needles.
const QPixmap &Infoform1::face()
{
    const qreal dpr = devicePixelRatioF();
    if (drawnFor(face_, size(), dpr))
        return face_;
    face_ = QPixmap(size() * dpr); // opaque, so that copying it is a plain copy
    face_.setDevicePixelRatio(dpr);
    QPainter painter(&face_);
    // A dark instrument face, a little lighter at the top.
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, QColor(34, 39, 45));
    shade.setColorAt(1, QColor(16, 18, 21));
    painter.fillRect(rect(), shade);
    // The recess behind the cell bars.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0x2c, 0x32, 0x3a));
    painter.setBrush(QColor(0x0c, 0x0e, 0x11));
    painter.drawRoundedRect(QRectF(frame2_->geometry()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    return face_;
}

void Infoform1::setChartLight(int index, bool on)
{
    chartLight_.at(index)->setChecked(on);
}

void Infoform1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    QTimer::singleShot(0, this, &Infoform1::prepare);
}

// What the first readings need, drawn while the panel waits for them rather than while it
// shows one: the lit cell digits, the bars' fills and the gauges' grown scales. The cells
// share their pictures; every grown scale has its marks at the same fractions.
void Infoform1::prepare()
{
    // Gauges that carry the face under them are painted alone when their needles move.
    const qreal dpr = devicePixelRatioF();
    for (AnalogGauge *gauge : led_) {
        QPixmap under = face().copy(
            QRectF(QPointF(gauge->pos()) * dpr, QSizeF(gauge->size()) * dpr).toRect());
        under.setDevicePixelRatio(dpr);
        gauge->setBackdrop(under);
    }
    led2_[0]->prepareColor(CellDigits);
    for (CellFill fill : { CellFill::Red, CellFill::Yellow, CellFill::Green })
        bar_[0]->prepareFill(fillBitmap(fill));
    for (int i = 0; i < GaugeCount; ++i) {
        const GaugeScale next = grownScale(scales_[i], i, Fixed::fromWhole(scales_[i].maximum + 1));
        led_[i]->prepareScale(shownScale(next));
    }
}

void Infoform1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (isVisible())
        QTimer::singleShot(0, this, &Infoform1::prepare);
    const Thermometers shown = thermometersShown(qint64(width()) * TwipsPerPixel);
    inTemp_->setVisible(shown != Thermometers::None);
    labInTemp_->setVisible(shown != Thermometers::None);
    extTemp_->setVisible(shown == Thermometers::Both);
    labExtTemp_->setVisible(shown == Thermometers::Both);
    // A picture cut off at the edge looks broken: it shows whole or not at all.
    image2_->setVisible(image2_->geometry().right() < width());
}
