#pragma once

#include <QDateTime>
#include <QString>

// What the description the program gives a run at its first sample tells:
// "<type>/<state>  S<cells>  @<channel>  <date>  hh:mm:ss".

// Whether `title` is still that description (or empty).
bool isDefaultTitle(const QString &title);
// The date and time it names, the run's start; invalid for any other text.
QDateTime defaultTitleDate(const QString &title);
