#include "app/ScreenPlacement.h"
#include "app/StartPosition.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <ostream>

#include <sys/resource.h>

using namespace corvane;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QPoint& point, std::ostream* out) {
    *out << '(' << point.x() << ", " << point.y() << ')';
}
QT_END_NAMESPACE

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

TEST(StartPosition, AWindowTheOperatorCouldNotReachComesBackOntoThePrimaryScreen) {
    const QRect primary(0, 0, 1920, 1040); // available areas: the task bar left out
    const QRect right(1920, 0, 1920, 600);
    const QRect left(-1280, 0, 1280, 1024);
    const QSize window(640, 480);
    struct Row {
        const char* what;
        QList<QRect> screens;
        QPoint saved;
        QSize size;
        QPoint placed;
    };
    const QList<Row> rows{
        {"on the primary screen", {primary}, {100, 200}, window, {100, 200}},
        {"on a monitor that is gone", {primary}, {2500, 100}, window, {1280, 100}},
        {"far left of every screen", {primary}, {-3000, 50}, window, {0, 50}},
        {"only 50 px of its title on the screen", {primary}, {1870, 100}, window, {1280, 100}},
        {"120 px of its title on the screen", {primary}, {1800, 100}, window, {1800, 100}},
        {"its title above the screen's top", {primary}, {500, -30}, window, {500, 0}},
        {"below the bottom", {primary}, {300, 1020}, window, {300, 560}},
        {"on the second monitor", {primary, right}, {2000, 100}, window, {2000, 100}},
        {"below the shorter second monitor", {primary, right}, {1900, 900}, window, {1280, 560}},
        {"on a monitor left of the primary", {primary, left}, {-1000, 100}, window, {-1000, 100}},
        {"larger than the primary screen", {primary}, {5000, 5000}, {3000, 2000}, {0, 0}},
        {"a window narrower than the title area", {primary}, {1850, 10}, {60, 60}, {1850, 10}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(ReachableWindowPosition(row.saved, row.size, row.screens, primary), row.placed);
    }
    // A primary screen that does not start at the origin.
    const QRect shifted(-1920, -200, 1920, 1080);
    const QPoint gone(4000, 4000);
    EXPECT_EQ(ReachableWindowPosition(gone, window, {shifted}, shifted), QPoint(-640, 400));
}
