#pragma once
// Rows the master tests put into a fresh installation's database, and the
// screenshots they may leave for the documentation.

#include "db/Database.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QWidget>
#include <QVariant>

inline void addCodeRow(Database& db, const QString& table, qlonglong code, const QString& name)
{
    db.exec(QStringLiteral("INSERT INTO \"%1\" VALUES (?, ?)").arg(table), {code, name});
}

inline int countRows(Database& db, const QString& table, const QString& where = QString(),
                     const QVariantList& params = {})
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"%2").arg(table, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where),
                     params)
        .toInt();
}

// With HIMAWARI_SCREENSHOTS set to a folder, a test saves what the screen
// looks like there.
inline void saveScreenshot(QWidget& screen, const QString& fileName)
{
    const QByteArray folder = qgetenv("HIMAWARI_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    screen.grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(fileName));
}
