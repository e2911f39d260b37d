#include "support/UserPrompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

// What the open message box showed, read while it is up; then it is answered.
struct SeenBox {
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::StandardButtons buttons;
};

} // namespace

TEST(UserPrompt, ShowsTheCoresTextAsWrittenInABoxWithOnlyOk) {
    for (const QString text : {"<b>x</b>", "a < b & c > d", "plain"}) {
        SCOPED_TRACE(text.toStdString());
        SeenBox seen;
        QTimer::singleShot(0, [&seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = {box->windowTitle(), box->text(), box->textFormat(), box->standardButtons()};
            box->done(QMessageBox::Ok);
        });
        UserPrompt::showMessage(nullptr, "Corvane Mini", text);
        EXPECT_EQ(seen.title, "Corvane Mini");
        EXPECT_EQ(seen.text, text);
        EXPECT_EQ(seen.format, Qt::PlainText);
        EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    }
}
