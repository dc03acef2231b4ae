#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/port_list.h"
#include "platform/printer.h"
#include "platform/qt_serial_port.h"
#include "setup/config.h"
#include "shell/mdi_form.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("chargemon"));
    Q_INIT_RESOURCE(command_bar);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/chargemon.svg")));

    SystemClock clock;
    SystemPortList ports;
    QtSerialPort port(ports);
    QtDialogs dialogs;
    InterfaceTextStore store;
    QtClipboard clipboard;
    QtPrinter printer;
    MDIForm1 window({ clock, port, ports, dialogs, store, clipboard, printer });
    dialogs.setParent(&window);
    printer.setParent(&window);
    // The status line on standard error, for scripts and the end-to-end test.
    if (qEnvironmentVariableIsSet("CHARGEMON_STATUS_TO_STDERR"))
        QObject::connect(&window, &MDIForm1::statusAdded, [](const QString &line) {
            std::fprintf(stderr, "%s\n", qPrintable(line));
            std::fflush(stderr);
        });
    window.load();
    return QApplication::exec();
}
