#include "platform/accessible.h"

#include "platform/plot_chart.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

namespace {
// The reading with its unit is the description, what a screen reader says after the name
// and role; the value interface carries it as a number where there is a scale.
class ValueAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    ValueAccessible(QWidget *widget, const ShownValue &shown)
        : QAccessibleWidget(widget, shown.accessibleRole()), shown_(shown)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value || t == QAccessible::Description)
            return shown_.valueText();
        return QAccessibleWidget::text(t);
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface && shown_.maximumValue() > shown_.minimumValue())
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QVariant currentValue() const override { return shown_.currentValue(); }
    void setCurrentValue(const QVariant &) override { } // shown, never set by the user
    QVariant maximumValue() const override { return shown_.maximumValue(); }
    QVariant minimumValue() const override { return shown_.minimumValue(); }
    QVariant minimumStepSize() const override { return 0; }

private:
    const ShownValue &shown_;
};

// A chart is named by its title and described by its latest reading, both asked for only
// when a screen reader wants them.
class ChartAccessible : public QAccessibleWidget {
public:
    explicit ChartAccessible(PlotChart *chart)
        : QAccessibleWidget(chart, QAccessible::Chart), chart_(chart)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && chart_->accessibleName().isEmpty())
            return chart_->accessibleTitle();
        if (t == QAccessible::Description && chart_->accessibleDescription().isEmpty())
            return chart_->latestReading();
        return QAccessibleWidget::text(t);
    }

private:
    PlotChart *chart_;
};

QAccessibleInterface *accessibleOf(const QString &, QObject *object)
{
    if (auto *chart = qobject_cast<PlotChart *>(object))
        return new ChartAccessible(chart);
    auto *widget = qobject_cast<QWidget *>(object);
    const auto *shown = dynamic_cast<const ShownValue *>(object);
    return widget && shown ? new ValueAccessible(widget, *shown) : nullptr;
}
} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleOf);
        return true;
    }();
    Q_UNUSED(installed);
}

ShownValue::ShownValue(const Clock &clock) : clock_(clock)
{
    installAccessibility();
}

void ShownValue::valueChanged(QObject *self)
{
    // Nobody listens, or the last change of a burst will be told when the wait is over.
    if (!QAccessible::isActive() || pending_.waiting())
        return;
    const qint64 wait = announcedOnce_ ? announcedAt_ + AnnounceMs - clock_.monotonicMs() : 0;
    if (wait <= 0)
        announce(self);
    else
        pending_.start(clock_, wait, self, [this, self] { announce(self); });
}

void ShownValue::announce(QObject *self)
{
    pending_.cancel();
    const QString text = valueText();
    if (text == announced_)
        return;
    announced_ = text;
    announcedAt_ = clock_.monotonicMs();
    announcedOnce_ = true;
    QAccessibleEvent described(self, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
    if (maximumValue() > minimumValue()) {
        QAccessibleValueChangeEvent changed(self, currentValue());
        QAccessible::updateAccessibility(&changed);
    }
}
