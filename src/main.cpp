#include "document/run_saver.h"
#include "platform/core/clock.h"
#include "platform/core/folders.h"
#include "platform/core/port_list.h"
#include "platform/core/qt_serial_port.h"
#include "platform/core/settings.h"
#include "platform/core/sleep_inhibitor.h"
#include "platform/dialogs.h"
#include "setup/config.h"
#include "setup/splash.h"
#include "shell/mdi_form.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("chargemon"));

    SystemClock clock;
    SystemPortList ports;
    QtSerialPort port(ports);
    QtDialogs dialogs;
    InterfaceTextStore store;
    Settings settings;
    LogindSleepInhibitor inhibitor;
    // Above the main window while it loads; it closes itself once the loop runs.
    frmSplash splash(store);
    MDIForm1 window({ clock, port, ports, dialogs, store, settings, &inhibitor, journalFolder(),
                      nullptr, nullptr, bookFile() });
    dialogs.setParent(&window);
    // The icon lives in the command bar's resources, which the window has loaded by now.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/chargemon.svg")));
    // The status line on standard error, for scripts and the end-to-end test.
    if (qEnvironmentVariableIsSet("CHARGEMON_STATUS_TO_STDERR"))
        QObject::connect(&window, &MDIForm1::statusAdded, [](const QString &line) {
            std::fprintf(stderr, "%s\n", qPrintable(line));
            std::fflush(stderr);
        });
    window.load();
    // Without a window manager to keep it on top, the window shown later would cover it.
    splash.raise();
    // Asked once the main window is on the screen.
    QTimer::singleShot(0, &window, &MDIForm1::recoverRuns);
    const int status = QApplication::exec();
    RunFile::Saver::finishAll();
    return status;
}
