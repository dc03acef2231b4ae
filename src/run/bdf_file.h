#pragma once

#include <QDateTime>
#include <QString>

class Samples;

// Writes a run's samples in the CSV form of the LF Energy Battery Data Format, so that battery
// analysis tools read them: the columns the run has, from "Test Time / s" on, "Unix Time / s"
// when `start` (the first sample's date and time) is known. Why it failed, or "".
QString writeBdf(const QString &path, const Samples &samples, const QDateTime &start);
