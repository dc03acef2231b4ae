#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/port_list.h"
#include "platform/qt_serial_port.h"
#include "setup/config.h"
#include "shell/mdi_form.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("chargemon"));

    SystemClock clock;
    SystemPortList ports;
    QtSerialPort port(ports);
    QtDialogs dialogs;
    InterfaceTextStore store;
    MDIForm1 window({ clock, port, ports, dialogs, store });
    dialogs.setParent(&window);
    window.load();
    return QApplication::exec();
}
