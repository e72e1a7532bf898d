#include "core/FileReplace.h"

#include <QSaveFile>

bool replaceFileContents(const QString& path, const QByteArray& bytes, QString& error)
{
    // Unbuffered, so a write the disk refuses fails here. Through the
    // buffer, the refusal surfaced only when commit() flushed, which did
    // not stop it from putting the short file in place of the old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = file.errorString();
        return false;
    }
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            error = file.errorString();
            file.cancelWriting();
            return false;
        }
        written += n;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
