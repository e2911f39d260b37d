// The built program at an operator's desk: its command line, its folder given by --config,
// and a panel far larger than its screen scaled to fit it on a private X server, where a click
// at the scaled place of a button reaches the Core as that button's push.

#include "protocol/ClientProtocolConsts.h"
#include "support/TestCore.h"
#include "support/Wait.h"

#ifdef CORVANE_TEST_XCB
#include "X11Display.h"
#endif

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace corvane;
using namespace corvane::test;

namespace {

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

void stop(QProcess& process) {
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished(2000);
        }
    }
}

QByteArray configFor(const TestCore& core, const QByteArray& extra) {
    return "primaryserverip=127.0.0.1\r\nprimaryserverport=" + QByteArray::number(core.port()) +
           "\r\n" + extra;
}

} // namespace

// --help and --version need no display; a mistake ends with status 2 before one is looked for.
TEST(Desk, TheCommandLineIsAnsweredWithoutADisplay) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    const struct {
        QStringList arguments;
        int status;
        QByteArray out; // the first line of standard output
        QByteArray err; // the first line of standard error
    } rows[] = {
        {{"--version"}, 0, "corvane-mini " CORVANE_TEST_VERSION, ""},
        {{"--help"}, 0, "Usage: corvane-mini [options]", ""},
        {{"--scale", "9"},
         2,
         "",
         "corvane-mini: --scale: '9' is neither fit nor a factor from 0.25 to 4"},
        {{"--bogus"}, 2, "", "corvane-mini: Unknown option 'bogus'."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(CORVANE_MINI_EXE, row.arguments);
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), row.status);
        EXPECT_EQ(program.readAllStandardOutput().split('\n').first(), row.out);
        const QByteArray error = program.readAllStandardError();
        EXPECT_EQ(error.split('\n').first(), row.err);
        if (row.status == 2) {
            EXPECT_EQ(error.split('\n').value(1), "Usage: corvane-mini [options]");
        }
    }
}

// With --config the configuration's folder is the program's folder, wherever it is started;
// --panel asks for another panel than the file names.
TEST(Desk, ConfigAndPanelOptionsPointTheProgramAtItsFolderAndPanel) {
    TestCore core;
    QTemporaryDir site;
    QTemporaryDir elsewhere;
    ASSERT_TRUE(writeFile(site.filePath("desk.conf"), configFor(core, "panelname=Studio A\r\n")));
    QProcess client;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    client.setProcessEnvironment(environment);
    client.setWorkingDirectory(elsewhere.path());
    client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QString config = site.filePath("desk.conf");
    client.start(CORVANE_MINI_EXE, {"--config", config, "--panel", "Studio B", "--scale", "fit"});
    ASSERT_TRUE(waitUntil(
        [&] { return !core.framesWithCommand(Command::PanelDefinition).isEmpty(); }, 20000));
    EXPECT_EQ(core.framesWithCommand(Command::PanelDefinition).first().payload(), "Studio B");
    stop(client);
    EXPECT_EQ(client.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(site.filePath("MiniPosition.inf")));
    EXPECT_FALSE(QFile::exists(elsewhere.filePath("MiniPosition.inf")));
}

// A panel twice the size of an 800 x 600 screen, with panelscale=fit: the window fits on the
// screen, and a click in the middle of where the button is drawn sends the button's push.
TEST(Desk, APanelTwiceTheScreensSizeFitsItAndTakesClicksWhereItIsDrawn) {
#ifndef CORVANE_TEST_XCB
    GTEST_SKIP() << "the tests were built without the X client library";
#else
    if (QStandardPaths::findExecutable("xdotool").isEmpty()) {
        GTEST_SKIP() << "xdotool is not installed";
    }
    const QSize screen(800, 600);
    X11Display display(screen);
    if (display.name().isEmpty()) {
        GTEST_SKIP() << "Xvfb is not installed or did not start";
    }
    TestCore core;
    QTemporaryDir folder;
    ASSERT_TRUE(writeFile(folder.filePath("CVMiniConfig.txt"),
                          configFor(core, "panelname=Big\r\npanelscale=fit\r\n")));
    ASSERT_TRUE(writeFile(folder.filePath("MiniPosition.inf"), "Left=0\r\nTop=0\r\n"));
    QProcess client;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display.name());
    environment.insert("QT_QPA_PLATFORM", "xcb");
    client.setProcessEnvironment(environment);
    client.setWorkingDirectory(folder.path());
    client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    client.start(CORVANE_MINI_EXE, QStringList());
    struct Stop {
        QProcess& process;
        ~Stop() { stop(process); }
    } stopClient{client};
    ASSERT_TRUE(waitUntil(
        [&] { return !core.framesWithCommand(Command::PanelDefinition).isEmpty(); }, 20000));

    // 1600 x 1200 pixels at 96 dpi, with its button beyond the screen's right and bottom
    // edges at scale 1.
    const QRect buttonTwips(15000, 12000, 3000, 1500);
    core.sendFrame(Command::PanelDefinition, modClientProtocolConsts::strNoAddress,
                   "Big" + QString(QChar(31)) +
                       QStringLiteral("<panel><name>Big</name><caption>Big panel</caption>"
                                      "<width>24000</width><height>18000</height><controllist>"
                                      "<c><type>button</type><name>Far</name><left>%1</left>"
                                      "<top>%2</top><width>%3</width><height>%4</height></c>"
                                      "</controllist></panel>")
                           .arg(buttonTwips.left())
                           .arg(buttonTwips.top())
                           .arg(buttonTwips.width())
                           .arg(buttonTwips.height()));
    const auto window = [&] { return display.findWindow("Big panel"); };
    std::optional<QRect> shown;
    ASSERT_TRUE(waitUntil(
        [&] {
            shown = window() ? display.geometry(window()) : std::nullopt;
            return shown && shown->width() < 1600 && display.findWindow("Verrick Control") == 0;
        },
        20000));
    EXPECT_TRUE(QRect(QPoint(0, 0), screen).contains(*shown))
        << shown->width() << "x" << shown->height();
    // As large as fits: the title bar's room makes the height the tighter side.
    const double scale = shown->height() / (18200.0 / 15);
    EXPECT_NEAR(scale, 600.0 / (18200.0 / 15), 0.01);
    EXPECT_NEAR(shown->width(), 1600 * scale, 2);

    const QPoint centre = (QRectF(buttonTwips).center() / 15 * scale).toPoint();
    QProcess tool;
    tool.setProcessEnvironment(environment);
    const QString x = QString::number(centre.x());
    const QString y = QString::number(centre.y());
    tool.start("xdotool",
               {"mousemove", "--sync", "--window", QString::number(window()), x, y, "click", "1"});
    ASSERT_TRUE(tool.waitForFinished(5000));
    ASSERT_EQ(tool.exitCode(), 0);
    ASSERT_TRUE(waitUntil([&] { return core.framesWithCommand(35).size() >= 2; }, 10000));
    EXPECT_EQ(core.framesWithCommand(35).at(0).payload(), "TBig.Far");
    EXPECT_EQ(core.framesWithCommand(35).at(1).payload(), "FBig.Far");
#endif
}
