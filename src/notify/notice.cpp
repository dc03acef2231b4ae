#include "notify/notice.h"

const char *Notice::priority() const
{
    const bool cutShort = reason == RunEnd::Interrupted || reason == RunEnd::LinkLost;
    return kind == Kind::TooHot || kind == Kind::CellSpread || cutShort ? "high" : "default";
}

const char *Notice::name(Kind kind)
{
    static const char *const names[] = { "run_ended", "too_hot", "cell_spread" };
    return names[int(kind)];
}

const char *Notice::name(RunEnd why)
{
    static const char *const names[]
        = { "finished", "interrupted", "link_lost", "stopped", "loaded" };
    return names[int(why)];
}
