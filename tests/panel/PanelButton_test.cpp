#include "panel/PanelButton.h"

#include <QSignalSpy>
#include <QTest>

#include "panel/QtPrinting.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {
QPixmap filled(const QColor& colour) {
    QPixmap picture(4, 4);
    picture.fill(colour);
    return picture;
}
} // namespace

TEST(PanelButton, ReportsPressAndReleaseOfEveryMouseButton) {
    PanelButton button;
    button.resize(80, 30);
    button.show();
    QSignalSpy pressed(&button, &PanelButton::pressedByOperator);
    QSignalSpy released(&button, &PanelButton::releasedByOperator);
    for (Qt::MouseButton which : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(&button, which, {}, QPoint(10, 10));
        EXPECT_TRUE(button.isDown()) << which;
        QTest::mouseRelease(&button, which, {}, QPoint(10, 10));
        EXPECT_FALSE(button.isDown()) << which;
    }
    EXPECT_EQ(pressed.count(), 3);
    EXPECT_EQ(released.count(), 3);

    // A release away from the button still reports, as the press captured the mouse.
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(500, 500));
    EXPECT_EQ(released.count(), 4);
}

TEST(PanelButton, ShowsItsCaptionLiterally) {
    PanelButton button;
    button.setCaption("Save & Exit");
    EXPECT_EQ(button.caption(), "Save & Exit");
    EXPECT_EQ(button.text(), "Save && Exit");
    EXPECT_TRUE(button.shortcut().isEmpty()); // no access key
    button.setCaption("Save\r\nNow");
    EXPECT_EQ(button.caption(), "Save\r\nNow");
    EXPECT_EQ(button.text(), "Save\nNow");
}

TEST(PanelButton, UpPictureNormallyDownPictureWhileHeld) {
    PanelButton button;
    button.resize(60, 30);
    button.show();
    EXPECT_TRUE(button.shownPicture().isNull());
    button.setPicture(filled(Qt::red));
    button.setDownPicture(filled(Qt::blue));
    EXPECT_EQ(button.shownPicture().toImage().pixelColor(0, 0), QColor(Qt::red));
    // Scaled to the whole button when painted.
    EXPECT_EQ(button.grab().toImage().pixelColor(30, 15), QColor(Qt::red));

    QTest::mousePress(&button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(button.shownPicture().toImage().pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(button.grab().toImage().pixelColor(55, 25), QColor(Qt::blue));
    QTest::mouseRelease(&button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(button.shownPicture().toImage().pixelColor(0, 0), QColor(Qt::red));

    // Without a down picture the up picture stays while held.
    button.setDownPicture(QPixmap());
    button.setDown(true);
    EXPECT_EQ(button.shownPicture().toImage().pixelColor(0, 0), QColor(Qt::red));
}
