#pragma once
// The old shop's database file (the Jet format, versions 3 and 4), read
// through the mdbtools library. Values come from the row's own bytes, never
// through the library's formatted text: Currency from its little-endian
// 64-bit count of ten-thousandths, DateTime from its little-endian double of
// the day serial, Single from its little-endian float. Text is decoded from
// the file's code page: Jet 4 keeps Unicode; Jet 3 keeps the code page of the
// system that wrote it, which for this shop's files is CP932, so that is
// what the reader sets unless the caller names another.

#include "oldfile/OldDataSource.h"

#include <QByteArray>
#include <QString>
#include <memory>

class JetFile : public OldDataSource {
public:
    static constexpr const char* Jet3DefaultCodePage = "CP932";

    // Opens the file for reading. A missing file, one that is not a Jet
    // database, or one that cannot be read is an OperatorError whose
    // message names the file. `jet3CodePage` is an iconv name.
    explicit JetFile(const QString& path, const QByteArray& jet3CodePage = Jet3DefaultCodePage);
    ~JetFile() override;
    JetFile(const JetFile&) = delete;
    JetFile& operator=(const JetFile&) = delete;

    const QString& path() const { return path_; }
    // 3 or 4.
    int jetVersion() const { return jetVersion_; }
    // The code page the file's header declares (1252, 932, ...); for Jet 3
    // text the reader follows `jet3CodePage` instead.
    int declaredCodePage() const;

    QStringList tableNames() const override;
    QList<OldColumn> columns(const QString& table) const override;
    void readRows(const QString& table, const std::function<void(const OldRow&)>& row) const override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    QString path_;
    int jetVersion_ = 0;
};
