#include "document/tag_scan.h"

#include "run/run_title.h"

std::optional<QString> TagScan::key(const std::optional<QString> &text, qint64 ms)
{
    if (ms - lastMs_ > MaxGapMs)
        typed_.clear();
    lastMs_ = ms;
    if (text) {
        typed_ += *text;
        return std::nullopt;
    }
    const QString id = packTagIn(typed_);
    const bool whole = !id.isEmpty() && typed_.compare(u'#' + id, Qt::CaseInsensitive) == 0;
    typed_.clear();
    return whole ? std::optional(id) : std::nullopt;
}
