#pragma once

#include <QDateTime>
#include <QString>

// What the description the program gives a run at its first sample tells:
// "<type>/<state>  S<cells>  @<channel>  <date>  hh:mm:ss".

// Whether `title` is still that description (or empty).
bool isDefaultTitle(const QString &title);
// The date and time it names, the run's start; invalid for any other text.
QDateTime defaultTitleDate(const QString &title);
// A run's start: the date its description names, else the time its file was last written (as
// the run ended) less the run's length; invalid when neither is known.
QDateTime runStart(const QString &title, const QDateTime &fileTime, double seconds);

// A pack's tag in a description: "#P0007", in any case, anywhere in it. The ID it names
// ("P0007"), "" for none.
QString packTagIn(const QString &title);
// `title` with its pack tag replaced by `id`'s, or with that tag added: at its end, or before
// the program's own description.
QString withPackTag(const QString &title, const QString &id);
