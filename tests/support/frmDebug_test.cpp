#include "support/frmDebug.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace corvane;

TEST(frmDebug, TheLogEmptiesWhenALinePassesTwoThousandCharacters) {
    struct Row {
        int before;  // characters in the log, line ends included
        int message; // characters of the new message
        int after;
    };
    const QList<Row> rows = {
        {1990, 20, 0},    // 2012 with its CR LF: emptied, the new line too
        {1970, 20, 1992}, // kept whole
        {1978, 20, 2000}, // exactly at the bound
        {0, 1999, 0},     // one line alone can empty it
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
        EXPECT_EQ(debug.txtDebug()->toPlainText().isEmpty(), row.after == 0);
    }
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
