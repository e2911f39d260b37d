#include "support/UserPrompt.h"
#include "support/Wait.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace corvane;

namespace {

// What the open message box showed, read while it is up; then it is answered.
struct SeenBox {
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::StandardButtons buttons;
};

// A prompt whose boxes are answered by a function instead of shown.
class StandIn : public UserPrompt {
public:
    std::function<void(const QString& text)> onShow;

protected:
    void answer(QWidget*, const QString&, const QString& text) override { onShow(text); }
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
        UserPrompt prompt;
        prompt.showMessage(nullptr, "Corvane Mini", text);
        EXPECT_EQ(seen.title, "Corvane Mini");
        EXPECT_EQ(seen.text, text);
        EXPECT_EQ(seen.format, Qt::PlainText);
        EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    }
}

TEST(UserPrompt, ABoxDismissedByTheProgramReturnsWithoutAClick) {
    // The default box: open until dismissed.
    UserPrompt prompt;
    QTimer::singleShot(0, [&prompt] {
        EXPECT_NE(QApplication::activeModalWidget(), nullptr);
        EXPECT_FALSE(prompt.dismissed());
        prompt.dismissOpen();
    });
    prompt.showMessage(nullptr, "Corvane Mini", "shown until dismissed");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // A stand-in for the box sees the dismissal; a box shown after it is not dismissed.
    QStringList seen;
    StandIn standIn;
    standIn.onShow = [&](const QString& text) {
        if (text == "first") {
            QTimer::singleShot(0, [&standIn] { standIn.dismissOpen(); });
        }
        const bool dismissed = test::waitUntil([&] { return standIn.dismissed(); }, 200);
        seen << text + (dismissed ? " dismissed" : " answered");
    };
    standIn.showMessage(nullptr, "Corvane Mini", "first");
    standIn.showMessage(nullptr, "Corvane Mini", "second");
    EXPECT_EQ(seen, QStringList({"first dismissed", "second answered"}));
    EXPECT_FALSE(standIn.dismissed()); // no box open
}
