// Replacing a file's contents: the new bytes in place on success, and on a
// disk that refuses the write (here a file-size limit, as a full disk) the
// old file untouched and the failure reported.
#include "core/FileReplace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Files of this process may not grow past `bytes` while it lives; a write
// past that fails with EFBIG instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, previous_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

} // namespace

TEST(FileReplace, PutsTheNewBytesInPlaceAndLeavesNoOtherFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("HMWcfg.dat"));
    QString error;
    ASSERT_TRUE(replaceFileContents(path, "\"ひまわり商店\"\r\n", error)) << error.toStdString();
    ASSERT_TRUE(replaceFileContents(path, "\"二行目\"\r\n\"三行目\"\r\n", error)) << error.toStdString();
    EXPECT_EQ(contentsOf(path), QByteArray("\"二行目\"\r\n\"三行目\"\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("HMWcfg.dat")});
}

// Through a buffered write, the refusal surfaced only at the commit, which
// then put the short file in place of the old one.
TEST(FileReplace, AFullDiskLeavesTheOldFileAndSaysSo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("HMWcfg.dat"));
    const QByteArray old = QByteArray("\"ひまわり商店\",\" 41\"\r\n").repeated(10);
    QString error;
    ASSERT_TRUE(replaceFileContents(path, old, error));
    for (const rlim_t room : {rlim_t(0), rlim_t(40)}) {
        SCOPED_TRACE(room);
        error.clear();
        bool replaced = true;
        {
            FileSizeLimit full(room);
            replaced = replaceFileContents(path, old + "\"増えた行\"\r\n", error);
        }
        EXPECT_FALSE(replaced);
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(contentsOf(path), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("HMWcfg.dat")});
    }
}
