#pragma once

#include <QString>

#include <optional>

// A barcode scanner is a keyboard that types a whole label in a burst: keys come faster than a
// person types, and the label's pack tag ("#P0007") ends with Return. Fed every key with the
// time it came, it tells the pack ID of a scanned tag.
class TagScan {
public:
    // Longest gap between a scanner's keys; a person's are longer.
    static constexpr qint64 MaxGapMs = 50;

    // The key's text, or none for Return, at `ms` on a monotonic clock: the ID once a whole
    // tag was scanned.
    std::optional<QString> key(const std::optional<QString> &text, qint64 ms);

private:
    QString typed_;
    qint64 lastMs_ = 0;
};
