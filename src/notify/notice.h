#pragma once

#include "run/run_hub.h"

#include <QString>

#include <optional>

// One thing the user hears of the runs, as every way of telling it wants it: the desktop's
// notifications, the broker's event topic, a phone, a webhook.
struct Notice {
    enum class Kind { RunEnded, TooHot, CellSpread, StoredFull, PackWarning };
    Kind kind = Kind::RunEnded;
    int channel = 0; // 1 or 2; 0 for a pack's notice
    QString pack; // the battery book's pack a notice is of, not a run's
    QString station; // a watched station's name; "" for this program's own runs
    std::optional<RunEnd> reason; // why the run ended
    QString title, text; // in the user's language
    // Figures: the charger's capacity count, the run's time, the pack's temperature and its
    // limit, the cells' spread at the end of a charge.
    std::optional<qint64> mah, seconds;
    std::optional<double> temperature, limit, spread;

    // What wants the user soon: a run cut short, a hot pack, cells apart; a pack left full or
    // worn has waited for days already.
    bool urgent() const;
    // Names for machines: "run_ended", "too_hot", "cell_spread", "stored_full", "pack_warning".
    static const char *name(Kind kind);
    // "finished", "interrupted", "link_lost", "stopped", "loaded".
    static const char *name(RunEnd why);
};
