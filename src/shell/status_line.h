#pragma once

#include <QObject>

class Clock;
class Tool;

// The status line: the drop-down list "sState" of the status bar, holding the last ten
// messages, each stamped with the time of day.
class StatusLine final : public QObject {
    Q_OBJECT
public:
    StatusLine(Tool &list, const Clock &clock, QObject *parent = nullptr)
        : QObject(parent), list_(list), clock_(clock)
    {
    }
    void State_add(const QString &str1);

signals:
    // Every line as shown, for whoever wants to follow the program from outside.
    void added(const QString &line);

private:
    Tool &list_;
    const Clock &clock_;
};
