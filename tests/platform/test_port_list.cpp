#include "platform/core/port_list.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

using Listed = QList<SystemPortList::Listed>;

class TestPortList : public QObject {
    Q_OBJECT
private slots:
    // The environment's devices, then USB and ACM adapters, then the rest; each once.
    void order()
    {
        Listed mixed;
        for (const QString name : { "ttyS0", "ttyUSB1", "ttyS1", "ttyACM0" })
            mixed.append({ name, "/dev/" + name });
        QCOMPARE(SystemPortList::ordered("/tmp/b:/tmp/a", mixed),
                 QStringList({ "/tmp/b", "/tmp/a", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyS0",
                               "/dev/ttyS1" }));
        QCOMPARE(SystemPortList::ordered("/dev/ttyS1", mixed),
                 QStringList({ "/dev/ttyS1", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyS0" }));
        QCOMPARE(SystemPortList::ordered(":/tmp/a::", {}), QStringList({ "/tmp/a" }));
    }

    void systemAskedWhenNodesChange()
    {
        QTemporaryDir nodes;
        const auto age = [&](int seconds) {
            const timespec then[2]
                = { { time(nullptr) - seconds, 0 }, { time(nullptr) - seconds, 0 } };
            QVERIFY(utimensat(AT_FDCWD, qPrintable(nodes.path()), then, 0) == 0);
        };
        int asked = 0;
        SystemPortList ports(nodes.path(), [&] {
            ++asked;
            return Listed { { "ttyUSB0", "/dev/ttyUSB0" } };
        });
        age(60);
        ports.names();
        ports.names();
        QCOMPARE(asked, 1);
        QCOMPARE(ports.device(1), QStringLiteral("/dev/ttyUSB0"));
        QFile node(nodes.filePath("ttyUSB1")); // plugged
        QVERIFY(node.open(QIODevice::WriteOnly));
        ports.names();
        ports.names(); // settling
        QCOMPARE(asked, 3);
        age(30);
        ports.names();
        ports.names();
        QCOMPARE(asked, 4);
    }

    void namesNumberTheDevices()
    {
        qputenv("CHARGEMON_PORTS", "/tmp/charger");
        SystemPortList ports(QString(), [] { return Listed(); });
        QCOMPARE(ports.device(1), QString()); // nothing listed yet
        QCOMPARE(ports.names().value(0), QStringLiteral("COM1"));
        qunsetenv("CHARGEMON_PORTS");
        QCOMPARE(ports.device(1), QStringLiteral("/tmp/charger"));
        QVERIFY(ports.device(0).isEmpty() && ports.device(ports.names().size() + 1).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPortList)
#include "test_port_list.moc"
