#include "notify/notice.h"

bool Notice::urgent() const
{
    return kind == Kind::TooHot || kind == Kind::CellSpread || reason == RunEnd::Interrupted
        || reason == RunEnd::LinkLost;
}

const char *Notice::name(Kind kind)
{
    static const char *const names[]
        = { "run_ended", "too_hot", "cell_spread", "stored_full", "pack_warning" };
    return names[int(kind)];
}

const char *Notice::name(RunEnd why)
{
    static const char *const names[]
        = { "finished", "interrupted", "link_lost", "stopped", "loaded" };
    return names[int(why)];
}
