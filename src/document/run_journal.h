#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// The recovery journal of one chart window: a run file that grows by one small transaction
// per accepted sample (SQLite in WAL mode, no sync per sample), with the window's caption
// beside the run, so that a crash, a kill or a power cut loses at most the last moments.
// While open it is locked, so another running chargemon never offers it for recovery.
// Destroying it removes the file: a journal lives exactly as long as its window.
class RunJournal {
public:
    ~RunJournal();
    RunJournal(const RunJournal &) = delete;
    RunJournal &operator=(const RunJournal &) = delete;

    // A new journal in `folder` for a window captioned `caption`; none (with `error`) when it
    // cannot be made.
    static std::unique_ptr<RunJournal> start(const QString &folder, const QString &caption,
                                             QString &error);
    // One accepted sample (the 22 texts of its table row) and the run's title as it stands;
    // "" on success, otherwise why not.
    QString append(const std::function<QString(int field)> &text, const QString &title);

    // The journals in `folder` that no running program holds: their files and captions, and
    // how many files could not be read as journals (damaged, or not ours).
    struct LeftBehind {
        QStringList paths, captions;
        int unreadable = 0;
    };
    static LeftBehind leftBehind(const QString &folder);
    // Takes over a journal left behind, so that it goes with the window it was opened into.
    static std::unique_ptr<RunJournal> adopt(const QString &path);

private:
    explicit RunJournal(const QString &path);
    QString open();

    QString path_;
    QString connection_;
    QSqlDatabase db_;
    std::optional<QSqlQuery> insert_;
    QString title_;
};
