#pragma once

#include "shell/doc_ref.h"

class CommandBar;
class Dialogs;
class StatusLine;
class QWidget;

// The "Open" command: replays a run file into a new chart window.
class RunOpening {
public:
    RunOpening(QWidget &window, CommandBar &bar, Dialogs &dialogs, StatusLine &status,
               DocumentFactory newDocument)
        : window_(window), bar_(bar), dialogs_(dialogs), status_(status),
          newDocument_(std::move(newDocument))
    {
    }

    void OpenSavedRun();
    IMDIDocument *openRun(const QString &file, const QString &caption);
    // The window being filled; after a failure, the one that failed, until the next open.
    IMDIDocument *DocOpen() const { return docOpen_.get(); }

private:
    QWidget &window_;
    CommandBar &bar_;
    Dialogs &dialogs_;
    StatusLine &status_;
    DocumentFactory newDocument_;
    DocRef docOpen_;
};
