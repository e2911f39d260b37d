#include "PanelCheck.h"
#include "panel/PanelLimits.h"
#include "panel/QtPrinting.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kBrokenPanels = QStringLiteral(CORVANE_SOURCE_DIR "/tests/broken-panels");

struct CheckRun {
    int status = -1;
    QStringList out; // lines
    QString err;
};

// The built checker, run in the folder with the arguments, as a panel author runs it.
CheckRun check(const QString& folder, const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(CORVANE_PANEL_CHECK_EXE), arguments);
    CheckRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        return run;
    }
    run.status = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QStringList readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

int statusOf(const QStringList& report) {
    if (report.isEmpty()) {
        return 0;
    }
    return report.filter(QStringLiteral(": error: ")).isEmpty() ? 1 : 2;
}

std::vector<std::string> brokenPanels() {
    std::vector<std::string> names;
    for (const QString& file :
         QDir(kBrokenPanels).entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
        names.push_back(file.toStdString());
    }
    return names;
}

class BrokenPanel : public testing::TestWithParam<std::string> {};

// Each panel of tests/broken-panels is checked from that folder, whose PanelGraphics is then the
// picture folder, as it would be the client's. Its report must be the .report file beside it,
// line for line, and the exit status must follow from it: 2 with an error, 1 with warnings
// only, 0 for none.
TEST_P(BrokenPanel, ReportsWhatTheClientWouldMeet) {
    const QString panel = QString::fromStdString(GetParam());
    const QString reportFile =
        kBrokenPanels + '/' + QFileInfo(panel).completeBaseName() + ".report";
    ASSERT_TRUE(QFileInfo::exists(reportFile)) << "each broken panel has its report";
    const QStringList expected = readLines(reportFile);
    const CheckRun run = check(kBrokenPanels, {panel});
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.status, statusOf(expected));
    EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(Folder, BrokenPanel, testing::ValuesIn(brokenPanels()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param.substr(0, info.param.rfind('.'));
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(PanelCheck, JsonCarriesTheSameProblemsAsTheTextLines) {
    const QStringList files{"pictures.xml", "left-out-of-range.xml", "clean.xml"};
    const CheckRun text = check(kBrokenPanels, files);
    const CheckRun json = check(kBrokenPanels, QStringList{"--json"} + files);
    EXPECT_EQ(text.status, 2) << "the worst of the files";
    EXPECT_EQ(json.status, 2);
    ASSERT_EQ(json.out.size(), text.out.size());
    ASSERT_EQ(json.out.size(), 4);
    for (qsizetype i = 0; i < json.out.size(); ++i) {
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(json.out[i].toUtf8(), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out[i].toStdString();
        EXPECT_EQ(object.keys(),
                  QStringList({"column", "control", "file", "line", "message", "severity"}));
        const QString line = QStringLiteral("%1:%2:%3: %4: %5")
                                 .arg(object["file"].toString())
                                 .arg(object["line"].toInt())
                                 .arg(object["column"].toInt())
                                 .arg(object["severity"].toString(), object["message"].toString());
        EXPECT_EQ(line, text.out[i]);
    }
    // The window's picture belongs to no control; the button's does.
    EXPECT_TRUE(QJsonDocument::fromJson(json.out[0].toUtf8())["control"].isNull());
    EXPECT_EQ(QJsonDocument::fromJson(json.out[1].toUtf8())["control"].toString(), "Play");
    EXPECT_EQ(QJsonDocument::fromJson(json.out[3].toUtf8())["control"].toString(), "Mic1");
}

TEST(PanelCheck, PicturesAreLookedUpInTheFolderGiven) {
    QTemporaryDir elsewhere;
    const CheckRun run = check(elsewhere.path(), {"--pictures", kBrokenPanels + "/PanelGraphics",
                                                  kBrokenPanels + "/pictures.xml"});
    // From another folder the default PanelGraphics is not there: the option must be used.
    EXPECT_EQ(run.out.filter("play_up.png").size(), 0);
    EXPECT_EQ(run.out.filter("found only with other letter case").size(), 1);
    EXPECT_EQ(run.status, 1);
}

TEST(PanelCheck, WrongInvocationsAndUnreadableFilesAreErrors) {
    struct Row {
        QStringList arguments;
        const char* expectedOut;
        const char* expectedErr;
    };
    const Row rows[] = {
        {{}, "", "No panel definition given"},
        {{"--frobnicate", "clean.xml"}, "", "Unknown option"},
        {{"missing.xml"}, "missing.xml:1:1: error: cannot be read", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        const CheckRun run = check(kBrokenPanels, row.arguments);
        EXPECT_EQ(run.status, 2);
        if (*row.expectedOut == '\0') {
            EXPECT_EQ(run.out, QStringList());
        } else {
            EXPECT_TRUE(run.out.join('\n').startsWith(row.expectedOut))
                << run.out.join('\n').toStdString();
        }
        EXPECT_TRUE(run.err.contains(row.expectedErr));
    }
    EXPECT_EQ(check(kBrokenPanels, {"--help"}).status, 0);
}

TEST(PanelCheck, TheDemoPanelsAreClean) {
    const QString demo = QStringLiteral(CORVANE_SOURCE_DIR "/demo");
    const QStringList panels =
        QDir(demo + "/panels").entryList({QStringLiteral("*.xml")}, QDir::Files);
    ASSERT_GE(panels.size(), 3);
    QStringList arguments{"--pictures", demo + "/PanelGraphics"};
    for (const QString& panel : panels) {
        arguments.append(demo + "/panels/" + panel);
    }
    const CheckRun run = check(demo, arguments);
    EXPECT_EQ(run.out, QStringList());
    EXPECT_EQ(run.status, 0);
}

} // namespace

namespace {

// Too large for a file in the folder of broken panels: made here, checked by the library that
// the checker runs.
TEST(PanelCheck, ControlsBeyondTheLimitOfADeliveryAreAnError) {
    const int controls = corvane::PanelLimits::kMaxControlsPerDelivery + 3;
    QString text = "<panel><name>P</name><controllist>\n";
    for (int i = 0; i < controls; ++i) {
        text += QStringLiteral("<c><type>label</type><name>c%1</name><left>%2</left><top>%3"
                               "</top></c>\n")
                    .arg(i)
                    .arg(i / 200 * 100)
                    .arg(i % 200 * 100);
    }
    const auto problems = corvane::check::PanelCheck("PanelGraphics")
                              .checkText("big.xml", text + "</controllist></panel>");
    ASSERT_EQ(problems.size(), 1);
    EXPECT_EQ(corvane::check::FormatProblem(problems[0]),
              QStringLiteral("big.xml:%1:1: error: more than %2 controls: this one and the 2 "
                             "after it are skipped")
                  .arg(corvane::PanelLimits::kMaxControlsPerDelivery + 2)
                  .arg(corvane::PanelLimits::kMaxControlsPerDelivery));
}

} // namespace
