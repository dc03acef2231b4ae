#pragma once

#include <QTest>
#include <QtSql>

// Runs SQL on a SQLite file, creating it when missing, as other programs write and read our
// files; `out` gets every result row's first column.
inline void runSql(const QString &path, const QStringList &statements, QStringList *out = nullptr)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "test-sql");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString &sql : statements) {
            QVERIFY2(q.exec(sql), qPrintable(sql + QStringLiteral(": ") + q.lastError().text()));
            while (out && q.next())
                *out << q.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase("test-sql");
}
