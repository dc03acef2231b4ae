#pragma once

#include "document/document_host.h"

#include <QHash>
#include <QKeySequence>
#include <QString>

#include <functional>
#include <vector>

class CommandBar;
class IMDIDocument;
class QMdiArea;
class RunNotices;
class QWidget;
class Settings;

// A place of a command in a band of the main window: menus and the tool bar list their tools
// by `order`, the shell's and every feature's alike.
struct CommandPlace {
    QString band;
    int order = 0;
    // The caption, a source text of the context "Captions": it follows the interface language.
    const char *caption = nullptr;
    // The tip shown here, if it is not the command's own.
    QString tip = {};
    // The field of the configuration's menu table that shows or hides the tool here; none.
    const char *flag = nullptr;
};

// A command as a feature declares it: its tool name, where it stands, and how it looks.
struct CommandSpec {
    QString name;
    std::vector<CommandPlace> places;
    QString tip = {};
    QString icon = {}; // resource path of its picture; "" for none
    bool checkable = false;
    QString opens = {}; // the pop-up band its tool opens; "" for none
    // The key its menu items take, shown beside them, and the desktop's own keys for the
    // command where Qt knows them.
    QKeySequence key = {};
    QKeySequence::StandardKey standardKey = QKeySequence::UnknownKey;
    QList<QKeySequence> keys() const
    {
        QList<QKeySequence> all = QKeySequence::keyBindings(standardKey);
        if (!key.isEmpty()) {
            all.removeAll(key);
            all.prepend(key);
        }
        return all;
    }
};

// What a feature may use of the main window.
class FeatureHost : public DocumentHost {
public:
    virtual QWidget &mainWindow() = 0;
    virtual QMdiArea &area() = 0;
    virtual CommandBar &bar() = 0;
    virtual Settings &settings() = 0;
    // A new chart window in the area.
    virtual IMDIDocument *newDocument() = 0;
    // Opens run files (and any kind a feature opens) as the Open command does.
    virtual void openFiles(const QStringList &files) = 0;
    // The battery book's database.
    virtual QString bookFile() const = 0;
    // What tells the user of the runs, which tells of a feature's news too; none until the
    // main window is made, or without a notifier.
    virtual RunNotices *notices() = 0;
};

// A feature's side of one main window.
struct FeatureHandlers {
    // The shell's command for each tool name; a name without one is left to the active child
    // window (CommandTarget).
    QHash<QString, std::function<void()>> commands;
    // Opens a file of the kind the feature names (Feature::fileKind).
    std::function<void(const QString &file)> openFile = {};
};

// A feature of the program as it registers with the shell: its commands, the kind of file
// the Open command offers for it, and its handlers, made for each main window.
struct Feature {
    std::vector<CommandSpec> commands;
    // "Name(*.suffix)" in the Open dialog's filter, and the suffix; "" for none.
    QString fileKind = {};
    QString fileSuffix = {};
    std::function<FeatureHandlers(FeatureHost &host)> attach = {};
};
