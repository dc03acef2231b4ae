#include "platform/core/clock.h"
#include "platform/core/folders.h"
#include "platform/core/notifier.h"
#include "platform/core/port_list.h"
#include "platform/core/qt_serial_port.h"
#include "platform/core/settings.h"
#include "platform/core/sleep_inhibitor.h"
#include "platform/dialogs.h"
#include "setup/config.h"
#include "setup/splash.h"
#include "shell/command_line.h"
#include "shell/mdi_form.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = parseCommandLine(arguments);
    if (line.action != CommandLine::Action::Run) {
        const bool failed = line.action == CommandLine::Action::Fail;
        std::fprintf(failed ? stderr : stdout, failed ? "%s\n" : "%s", qPrintable(line.text));
        return failed ? 2 : 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("chargemon"));
    QApplication::setApplicationVersion(QStringLiteral(CHARGEMON_VERSION));
    // Ties the windows to the desktop file: its icon and name in the task bar.
    QGuiApplication::setDesktopFileName(QStringLiteral(CHARGEMON_APP_ID));

    SystemClock clock;
    SystemPortList ports;
    QtSerialPort port(ports);
    QtDialogs dialogs;
    InterfaceTextStore store;
    Settings settings;
    LogindSleepInhibitor inhibitor;
    DBusNotifier notifier(QStringLiteral("chargemon"), QStringLiteral(CHARGEMON_APP_ID));
    // Above the main window while it loads; it closes itself once the loop runs.
    frmSplash splash(store);
    MDIForm1 window({ clock, port, ports, dialogs, store, settings, &inhibitor, journalFolder(),
                      nullptr, nullptr, bookFile(), &notifier });
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
    // Asked once the main window is on the screen; then the files named on the command line
    // open, after the question has been answered.
    QTimer::singleShot(0, &window, [&window, files = line.files] {
        window.recoverRuns();
        window.openFiles(files);
    });
    return QApplication::exec();
}
