#pragma once

#include <QList>
#include <QStringList>

#include <optional>

class Dialogs;
class QMdiArea;
class QWidget;
class tee;

// The runs the user picked to compare: open chart windows and run files, 2 to 8 in all.
struct CompareChoice {
    QList<tee *> windows;
    QStringList files;
};

// Asks which runs to compare among the chart windows of `area` and run files picked with
// `dialogs`; none when the user cancelled.
std::optional<CompareChoice> chooseRuns(QWidget *parent, const QMdiArea &area, Dialogs &dialogs);
