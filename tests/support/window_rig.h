#pragma once

// The main window on test doubles, for the shell's tests (which link the shell).

#include "document/tee.h"
#include "platform/command_bar.h"
#include "platform/core/settings.h"
#include "platform/scripted/scripted_serial_port.h"
#include "run/live_runs.h"
#include "setup/config.h"
#include "setup/infoform1.h"
#include "shell/mdi_form.h"
#include "support/fake_clock.h"
#include "support/readings.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_port_list.h"

#include <QMdiArea>
#include <QTemporaryDir>

struct WindowRig {
    FakeClock clock;
    ScriptedSerialPort port;
    ScriptedPortList ports;
    ScriptedDialogs dialogs;
    QTemporaryDir programFolder;
    InterfaceTextStore store;
    Settings settings;
    const QString journalFolder;
    MDIForm1 window;

    // The settings file is a fresh one in the program folder unless named.
    explicit WindowRig(const QString &storePath = InterfaceTextStore::builtInPath(),
                       const QString &settingsFile = {}, SleepInhibitor *inhibitor = nullptr,
                       const QString &journalFolder = {})
        : store(storePath, programFolder.path()),
          settings(settingsFile.isEmpty() ? programFolder.filePath(QStringLiteral("settings.ini"))
                                          : settingsFile),
          journalFolder(journalFolder),
          window({ clock, port, ports, dialogs, store, settings, inhibitor, journalFolder })
    {
        ports.list = { "COM1" };
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
};
