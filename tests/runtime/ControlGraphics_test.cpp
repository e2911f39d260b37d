#include "panel/PanelButton.h"
#include "panel/PanelState.h"
#include "runtime/ControlGraphics.h"
#include "runtime/WindowPicture.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include "panel/QtPrinting.h"

#include <gtest/gtest.h>

#include <memory>

using namespace corvane;

namespace {

// The colour of a picture's top-left pixel identifies which file it came from.
QColor colourOf(const QPixmap& picture) {
    return picture.isNull() ? QColor() : picture.toImage().pixelColor(0, 0);
}

class ControlGraphicsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath("panel");
        QDir(m_dir.path()).mkpath("PanelGraphics");
        writePicture("panel/upoff.png", Qt::red);
        writePicture("panel/upon.png", Qt::green);
        writePicture("PanelGraphics/downoff.png", Qt::blue);
        writePicture("panel/downon.png", Qt::yellow);
        writePicture("PanelGraphics/back.png", Qt::magenta);
        QFile broken(m_dir.filePath("panel/broken.png"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture");
        m_state.strDefaultPicturePath = m_dir.filePath("panel") + "/";
        m_state.strGraphicsPath = m_dir.filePath("PanelGraphics") + "/";

        m_button = std::make_unique<PanelButton>();
        m_button->resize(80, 40);
        m_record.ControlType = "Button";
        m_record.pntrControl = m_button.get();
    }
    void writePicture(const QString& relative, const QColor& colour) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(m_dir.filePath(relative)));
    }

    QTemporaryDir m_dir;
    PanelState m_state;
    std::unique_ptr<PanelButton> m_button;
    clsUPControl m_record;
};

} // namespace

TEST(ChooseButtonPictures, FallbackChains) {
    clsUPControl r;
    r.PictureUpOff = "uo";
    r.strState = " ON ";
    EXPECT_EQ(ChooseButtonPictures(r).up, "uo");
    EXPECT_EQ(ChooseButtonPictures(r).down, "uo");
    r.PictureDownOff = "do";
    EXPECT_EQ(ChooseButtonPictures(r).down, "do");
    r.PictureUpOn = "un";
    EXPECT_EQ(ChooseButtonPictures(r).up, "un");
    EXPECT_EQ(ChooseButtonPictures(r).down, "un");
    r.PictureDownOn = "dn";
    EXPECT_EQ(ChooseButtonPictures(r).down, "dn");

    r.strState = "1"; // anything but "on" is off
    EXPECT_EQ(ChooseButtonPictures(r).up, "uo");
    EXPECT_EQ(ChooseButtonPictures(r).down, "do");
    r.PictureDownOff.clear();
    EXPECT_EQ(ChooseButtonPictures(r).down, "uo");
    r.PictureUpOff.clear();
    EXPECT_EQ(ChooseButtonPictures(r).up, "");
    EXPECT_EQ(ChooseButtonPictures(r).down, "");
}

TEST_F(ControlGraphicsTest, ButtonShowsThePicturesOfItsState) {
    m_record.PictureUpOff = "upoff.png";
    m_record.PictureUpOn = "upon.png";
    m_record.PictureDownOff = "downoff.png";
    m_record.PictureDownOn = "downon.png";
    m_record.strState = "on";
    SetControlGraphic(m_record, m_state);
    EXPECT_EQ(colourOf(m_button->picture()), QColor(Qt::green));
    EXPECT_EQ(colourOf(m_button->downPicture()), QColor(Qt::yellow));
    EXPECT_EQ(colourOf(m_button->shownPicture()), QColor(Qt::green));
    m_button->setDown(true);
    EXPECT_EQ(colourOf(m_button->shownPicture()), QColor(Qt::yellow));
    m_button->setDown(false);

    m_record.strState = "off";
    SetControlGraphic(m_record, m_state);
    EXPECT_EQ(colourOf(m_button->picture()), QColor(Qt::red));
    EXPECT_EQ(colourOf(m_button->downPicture()), QColor(Qt::blue));
}

TEST_F(ControlGraphicsTest, OnlyAnUpOffPictureServesBothWays) {
    m_record.PictureUpOff = "upoff.png";
    m_record.strState = "on";
    SetControlGraphic(m_record, m_state);
    EXPECT_EQ(colourOf(m_button->picture()), QColor(Qt::red));
    EXPECT_EQ(colourOf(m_button->downPicture()), QColor(Qt::red));
}

TEST_F(ControlGraphicsTest, MissingPicturesKeepWhatTheButtonShows) {
    m_record.PictureUpOn = "upon.png";
    m_record.strState = "on";
    SetControlGraphic(m_record, m_state);
    EXPECT_EQ(colourOf(m_button->picture()), QColor(Qt::green));
    m_record.strState = "off"; // no PictureUpOff: the on picture stays
    SetControlGraphic(m_record, m_state);
    EXPECT_EQ(colourOf(m_button->picture()), QColor(Qt::green));
    EXPECT_EQ(colourOf(m_button->downPicture()), QColor(Qt::green));
    m_record.PictureUpOff = "nowhere.png";
    SetControlGraphic(m_record, m_state);
    EXPECT_EQ(colourOf(m_button->picture()), QColor(Qt::green));
}

TEST_F(ControlGraphicsTest, AnUnreadableFileEndsTheWorkSilently) {
    m_record.PictureUpOff = "upoff.png";
    SetControlGraphic(m_record, m_state);
    m_record.PictureUpOff = "broken.png";
    m_record.PictureDownOff = "downoff.png";
    SetControlGraphic(m_record, m_state);
    EXPECT_EQ(colourOf(m_button->picture()), QColor(Qt::red));
    EXPECT_EQ(colourOf(m_button->downPicture()), QColor(Qt::red)); // not reached
}

TEST_F(ControlGraphicsTest, OtherTypesAndUnbuiltRecordsAreLeftAlone) {
    m_record.PictureUpOff = "upoff.png";
    m_record.ControlType = "label";
    SetControlGraphic(m_record, m_state);
    EXPECT_TRUE(m_button->picture().isNull());
    m_record.ControlType = "button";
    m_record.pntrControl.clear();
    SetControlGraphic(m_record, m_state); // nothing to show it on, and no failure
}

TEST_F(ControlGraphicsTest, WindowBackgroundPicture) {
    QWidget window;
    window.resize(40, 40);
    window.setAutoFillBackground(true);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.setPalette(palette);
    clsUPControl form;
    form.ControlType = "Form";
    form.pntrControl = &window;
    SetControlGraphic(form, m_state); // no picture named
    EXPECT_TRUE(WindowPicture::current(&window).isNull());

    form.PictureUpOff = "back.png";
    SetControlGraphic(form, m_state);
    EXPECT_EQ(colourOf(WindowPicture::current(&window)), QColor(Qt::magenta));
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(2, 2), QColor(Qt::magenta)); // the picture at the top left
    EXPECT_EQ(shot.pixelColor(30, 30), QColor(Qt::white)); // the colour beyond it

    form.PictureUpOff = "missing.png";
    SetControlGraphic(form, m_state);
    EXPECT_EQ(colourOf(WindowPicture::current(&window)), QColor(Qt::magenta));
}
