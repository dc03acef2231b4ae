#pragma once

#include "platform/core/clock.h"

#include <QAccessible>
#include <QString>

// What an instrument of the panel tells a screen reader besides its name (the widget's
// accessible name, in the interface language): the value it shows with its unit ("27 °C") as
// its description, and, for those with a scale, the value as a number on it.
class ShownValue {
public:
    // A screen reader hears a changed reading of one control at most this often; the last
    // change of a burst is told once the wait is over.
    static constexpr qint64 AnnounceMs = 3000;

    virtual ~ShownValue() = default;
    virtual QString valueText() const = 0;
    virtual double currentValue() const = 0;
    // A readout of digits and a lamp have no scale: their maximum is their minimum.
    virtual double minimumValue() const { return 0; }
    virtual double maximumValue() const = 0;
    virtual QAccessible::Role accessibleRole() const = 0;

protected:
    // Registers the instruments' accessibility with Qt, once; announcements wait on `clock`.
    explicit ShownValue(const Clock &clock);
    // Tells a listening screen reader that the value changed, when the text it hears did.
    void valueChanged(QObject *self);

private:
    void announce(QObject *self);

    const Clock &clock_;
    QString announced_;
    qint64 announcedAt_ = 0;
    bool announcedOnce_ = false;
    Waiting pending_;
};

// Tells Qt how the instruments and charts reach a screen reader; once is enough.
void installAccessibility();
