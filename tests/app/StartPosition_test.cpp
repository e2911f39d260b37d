#include "app/StartPosition.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

using namespace corvane;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(StartPosition, ReadsLeftAndTopLines) {
    const auto position = ParseStartPosition("Left=1440\r\nTop=720\r\n\r\n");
    EXPECT_EQ(position.left, 1440);
    EXPECT_EQ(position.top, 720);

    // Keys are compared lower-cased but untrimmed; only key=value lines count; later wins.
    const auto odd = ParseStartPosition("LEFT=15\r\n Top=30\r\nleft=45\r\nTop=1=2\r\n");
    EXPECT_EQ(odd.left, 45);
    EXPECT_EQ(odd.top, 0);
}

TEST(StartPosition, ABadNumberKeepsWhatWasReadBefore) {
    const auto position = ParseStartPosition("Left=300\r\nTop=abc\r\nLeft=600\r\n");
    EXPECT_EQ(position.left, 300);
    EXPECT_EQ(position.top, 0);
    EXPECT_EQ(ParseStartPosition("Left=3000000000\r\n").left, 0); // beyond 32 bits

    QTemporaryDir dir;
    const auto missing = GetStartPosition(dir.filePath("MiniPosition.inf"));
    EXPECT_EQ(missing.left, 0);
    EXPECT_EQ(missing.top, 0);
}

TEST(StartPosition, WritesWhatItReadsBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("MiniPosition.inf");
    ASSERT_TRUE(SaveStartPosition(path, 1440, 2880));
    EXPECT_EQ(readAll(path), QByteArray("Left=1440\r\nTop=2880\r\n\r\n"));
    const auto position = GetStartPosition(path);
    EXPECT_EQ(position.left, 1440);
    EXPECT_EQ(position.top, 2880);

    // A window on a second monitor, right of or above the first, comes back where it was.
    ASSERT_TRUE(SaveStartPosition(path, 40500, -15000));
    const auto far = GetStartPosition(path);
    EXPECT_EQ(far.left, 40500);
    EXPECT_EQ(far.top, -15000);
}

TEST(StartPosition, AFailedWriteKeepsThePreviousFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("MiniPosition.inf");
    ASSERT_TRUE(SaveStartPosition(path, 15, 30));

    // A file-size limit makes every write of more than a few bytes fail, for root as well,
    // as a full disk would.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previousLimit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
    rlimit tiny = previousLimit;
    tiny.rlim_cur = 4;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const bool written = SaveStartPosition(path, 900, 900);
    setrlimit(RLIMIT_FSIZE, &previousLimit);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(readAll(path), QByteArray("Left=15\r\nTop=30\r\n\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"MiniPosition.inf"}));
}
