#include "support/frmDebug.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>

using namespace corvane;

TEST(frmDebug, TheLogKeepsItsNewestTextWithinTwoThousandCharacters) {
    struct Row {
        int before;  // characters in the log, line ends included
        int message; // characters of the new message
        int after;
    };
    const QList<Row> rows = {
        {1990, 20, 22},   // 2012 with its CR LF: the older line goes, the new one stays
        {1970, 20, 1992}, // kept whole
        {1978, 20, 2000}, // exactly at the bound
        {0, 1999, 2000},  // a line longer than the bound keeps its end
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.before);
        frmDebug debug;
        if (row.before > 0) {
            debug.AddMessage(QString(row.before - 2, 'a'));
        }
        ASSERT_EQ(debug.log().size(), row.before);
        debug.AddMessage(QString(row.message, 'b'));
        EXPECT_EQ(debug.log().size(), row.after);
        EXPECT_TRUE(debug.log().endsWith(QString(std::min(row.message, 1998), 'b') + "\r\n"));
        EXPECT_EQ(debug.txtDebug()->toPlainText(), QString(debug.log()).replace("\r\n", "\n"));
    }

    // Fed for a long time, it holds the newest whole lines that fit, oldest first.
    frmDebug debug;
    for (int i = 0; i < 1000; ++i) {
        debug.AddMessage(QStringLiteral("12:00:00 Hunting: trying Core 10.0.0.%1").arg(i));
    }
    const QStringList lines = debug.log().split("\r\n", Qt::SkipEmptyParts);
    EXPECT_LE(debug.log().size(), frmDebug::kMaxLogChars);
    EXPECT_GT(debug.log().size(), frmDebug::kMaxLogChars - 50);
    EXPECT_EQ(lines.last(), "12:00:00 Hunting: trying Core 10.0.0.999");
    EXPECT_TRUE(lines.first().startsWith("12:00:00 Hunting")) << "only whole lines";
}

TEST(frmDebug, LinesEndInCrLfTheNewestIsInViewAndCopyTakesTheWholeLog) {
    frmDebug debug;
    EXPECT_EQ(debug.windowTitle(), "Debug");
    QGuiApplication::clipboard()->setText("stale");
    debug.btnCopy()->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString()); // an empty log copies empty

    for (int i = 0; i < 60; ++i) {
        debug.AddMessage(QStringLiteral("line %1").arg(i));
    }
    EXPECT_TRUE(debug.log().startsWith("line 0\r\nline 1\r\n"));
    EXPECT_TRUE(debug.log().endsWith("line 59\r\n"));
    EXPECT_EQ(debug.txtDebug()->textCursor().position(),
              debug.txtDebug()->document()->characterCount() - 1);
    EXPECT_EQ(debug.btnCopy()->text(), "Copy");
    debug.btnCopy()->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), debug.log());
}
