#pragma once

#include "notify/notice.h"

#include <QObject>
#include <QSet>

class Notifier;
class Run;
class Settings;

// What the user hears of the charger's and the watched stations' runs while away from them: a
// run ended, and why (with the charger's capacity count and the time), a pack that grows hot
// (once a run, and again only after it cooled well below the limit), and a lithium pack whose
// cells end a charge apart; and of the battery book's packs that need care.
// Told through the notifier; what reaches nobody comes back as message() lines.
class RunNotices final : public QObject {
    Q_OBJECT
public:
    static constexpr double DefaultTempLimit = 50; // °C
    static constexpr double CoolBelowLimit = 5; // °C under the limit before a new notice
    static constexpr double SpreadLimit = 0.05; // V between cells at the end of a charge

    // Off when the per-user settings say so; the temperature limit is theirs too.
    RunNotices(RunHub &hub, Notifier &notifier, const Settings &settings,
               QObject *parent = nullptr);

    // Tells of the battery book's `packs` that need care, in one notice for them all, not a
    // storm: `text` says what each needs; `storedFull` when each was only left full.
    void packsNeedCare(const QStringList &packs, const QString &text, bool storedFull);

signals:
    // A line for the status line or standard output.
    void message(const QString &text);
    // A notice, as told to the notifier.
    void noticed(const Notice &notice);

private:
    void runEnded(const Run &run, RunEnd why);
    void temperature(const Run &run, double t);
    // Tells `notice`, whose text names the run's channel, after the station of a watched run;
    // titled with the station (this one: "chargemon") and the channel.
    void tell(const Run &run, Notice notice);
    void tell(const Notice &notice);

    Notifier &notifier_;
    bool on_ = false;
    double tempLimit_ = DefaultTempLimit;
    QSet<const Run *> hot_; // told, and not cooled since
    bool noServiceSaid_ = false;
};
