#pragma once

// The main window on test doubles, for the shell's tests (which link the shell).

#include "document/tee.h"
#include "platform/command_bar.h"
#include "platform/core/settings.h"
#include "platform/core/sleep_inhibitor.h"
#include "platform/scripted/scripted_serial_port.h"
#include "run/live_runs.h"
#include "setup/config.h"
#include "setup/infoform1.h"
#include "shell/mdi_form.h"
#include "shell/open_saved_run.h"
#include "support/fake_clock.h"
#include "support/readings.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_port_list.h"

#include <QtTest>
#include <QtWidgets>
#include <optional>

struct RecordingSleepInhibitor final : SleepInhibitor {
    QStringList calls;
    bool refuse = false;
    void take() override
    {
        calls << QStringLiteral("take");
        if (refuse)
            emit refused(QStringLiteral("no service"));
    }
    void release() override { calls << QStringLiteral("release"); }
};

struct WindowRig {
    FakeClock clock;
    ScriptedSerialPort port;
    ScriptedPortList ports;
    ScriptedDialogs dialogs;
    RecordingSleepInhibitor inhibitor;
    QTemporaryDir programFolder, journals;
    InterfaceTextStore store;
    Settings settings;
    const QString journalFolder;
    MDIForm1 window;

    // The journals in a folder of their own ("" keeps none) and the settings in a fresh file in
    // the program folder, unless named.
    explicit WindowRig(const std::optional<QString> &journalFolder = {},
                       const QString &storePath = InterfaceTextStore::builtInPath(),
                       const QString &settingsFile = {})
        : store(storePath, programFolder.path()),
          settings(settingsFile.isEmpty() ? programFolder.filePath(QStringLiteral("settings.ini"))
                                          : settingsFile),
          journalFolder(journalFolder.value_or(journals.path())),
          window({ clock, port, ports, dialogs, store, settings, &inhibitor, this->journalFolder,
                   nullptr, nullptr, programFolder.filePath(QStringLiteral("book.db")) })
    {
        ports.list = { "COM1" };
    }
    // Opens `path` and waits until the open has ended, however it ends.
    void open(const QString &path)
    {
        dialogs.fileAnswers << path;
        click("Main_file", "Open");
        QTRY_VERIFY_WITH_TIMEOUT(!window.findChild<OpenInProgress *>(), 60000);
    }
    Tool &tool(QString band, QString name) { return window.Menu().tool(band, name); }
    void click(QString band, QString name) { emit window.Menu().toolClicked(tool(band, name)); }
    QStringList status() { return tool("state", "sState").list(); }
    QMdiArea &area() { return *window.findChild<QMdiArea *>(); }
    Infoform1 &panel() { return *window.findChild<Infoform1 *>(); }
    QList<tee *> documents()
    {
        QList<tee *> docs;
        for (QMdiSubWindow *w : area().subWindowList())
            docs << qobject_cast<tee *>(w);
        return docs;
    }
    void feed(int channel, qint64 capacity, double seconds = 1)
    {
        clock.advanceSeconds(seconds);
        ChannelReading r = reading(capacity);
        window.liveRuns().Reading_Proc(channel, r);
    }
    // Every menu's items that share a letter or have none, and the keys of the commands that
    // the shown menu bar reaches unless they are `keys`, each said after `where`.
    QStringList letterFaults(const QString &where, const QStringList &keys = {})
    {
        QStringList faults, reached;
        for (const QAction *title : window.menuBar()->actions())
            for (const QAction *item :
                 title->menu() ? title->menu()->actions() : QList<QAction *>())
                if (title->isVisible() && item->isVisible() && !item->shortcut().isEmpty())
                    reached << item->shortcut().toString();
        reached.sort();
        if (!keys.isEmpty() && reached != keys)
            faults << where + "keys " + reached.join(' ');
        QList<QWidget *> menus { window.menuBar() };
        for (QMenu *menu : window.findChildren<QMenu *>()) {
            emit menu->aboutToShow(); // the window list fills itself then
            menus << menu;
        }
        for (const QWidget *menu : std::as_const(menus)) {
            QHash<QKeySequence, QString> taken;
            QStringList unlettered;
            for (const QAction *item : menu->actions()) {
                if (item->isSeparator() || !item->isVisible())
                    continue;
                const QKeySequence key = QKeySequence::mnemonic(item->text());
                if (key.isEmpty())
                    unlettered << where + item->text() + " has no letter";
                else if (taken.contains(key))
                    faults << where + item->text() + " and " + taken[key];
                else
                    taken.insert(key, item->text());
            }
            // A check list without letters is read with the arrow keys.
            if (!taken.isEmpty())
                faults << unlettered;
        }
        return faults;
    }
};
