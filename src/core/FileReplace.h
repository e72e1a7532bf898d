#pragma once
// Writing a whole file in place of the one there, in one step: the bytes go
// to a new file beside it, reach the disk, and only then take its name, so
// a crash or a full disk leaves the old file or the new one, never a short
// one.

#include <QByteArray>
#include <QString>

// Replaces the file at `path` with `bytes`. Returns false, with the reason
// in `error`, when any step fails; the old file is then as it was.
bool replaceFileContents(const QString& path, const QByteArray& bytes, QString& error);
