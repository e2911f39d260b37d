#include "panel/PanelState.h"
#include "runtime/PicturePaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "panel/QtPrinting.h"

#include <gtest/gtest.h>

#include <sys/time.h>

using namespace corvane;

namespace {

class PicturePathsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QDir root(m_dir.path());
        ASSERT_TRUE(root.mkpath("panel/sub"));
        ASSERT_TRUE(root.mkpath("PanelGraphics/folder.bmp"));
        touch("panel/both.bmp");
        touch("PanelGraphics/both.bmp");
        touch("PanelGraphics/shared.bmp");
        touch("panel/sub/deep.bmp");
        m_state.strDefaultPicturePath = path("panel/");
        m_state.strGraphicsPath = path("PanelGraphics/");
    }
    QString path(const QString& relative) const { return m_dir.filePath(relative); }
    void touch(const QString& relative) {
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir m_dir;
    PanelState m_state;
};

} // namespace

TEST_F(PicturePathsTest, PanelFolderFirstThenGraphicsFolder) {
    EXPECT_EQ(FindPicturePath("both.bmp", m_state), path("panel/both.bmp"));
    EXPECT_EQ(FindPicturePath("shared.bmp", m_state), path("PanelGraphics/shared.bmp"));
    EXPECT_EQ(FindPicturePath("missing.bmp", m_state), "");
    EXPECT_EQ(FindPicturePath("folder.bmp", m_state), ""); // a folder is not a picture
    EXPECT_EQ(FindPicturePath("sub\\deep.bmp", m_state), path("panel/sub/deep.bmp"));

    m_state.strDefaultPicturePath.clear();
    EXPECT_EQ(FindPicturePath("both.bmp", m_state), path("PanelGraphics/both.bmp"));
    m_state.strGraphicsPath.clear();
    EXPECT_EQ(FindPicturePath("both.bmp", m_state), "");
}

TEST_F(PicturePathsTest, ANameInAnotherLetterCaseIsFoundWhenTheExactOneIsMissing) {
    touch("panel/btn.bmp");
    touch("PanelGraphics/Logo.Png");
    touch("PanelGraphics/case.bmp");
    touch("PanelGraphics/CASE.bmp");
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        {"BTN.BMP", "panel/btn.bmp"},
        {"logo.png", "PanelGraphics/Logo.Png"},
        {"SUB\\Deep.Bmp", "panel/sub/deep.bmp"}, // folders on the way too
        {"case.bmp", "PanelGraphics/case.bmp"},  // the exact name wins
        {"Case.bmp", "PanelGraphics/CASE.bmp"},  // else the first in sorted order
        {"Both.bmp", "panel/both.bmp"},          // the panel folder still comes first
        {"FOLDER.BMP", ""},                      // a folder is not a picture
        {"nothing.bmp", ""},
        {"sub\\nothing\\deep.bmp", ""},
    };
    for (const auto& c : cases) {
        const QString expected = *c.expected ? path(c.expected) : QString();
        EXPECT_EQ(FindPicturePath(c.name, m_state), expected) << c.name;
    }

    // A folder is listed once; a picture added later is found once the folder has changed.
    EXPECT_EQ(FindPicturePath("LATE.BMP", m_state), "");
    touch("panel/late.bmp");
    // The folder's time moves on with the new file; set clearly apart from the first listing.
    const timeval later[2] = {{time(nullptr) + 5, 0}, {time(nullptr) + 5, 0}};
    ASSERT_EQ(utimes(QFile::encodeName(path("panel")).constData(), later), 0);
    EXPECT_EQ(FindPicturePath("LATE.BMP", m_state), path("panel/late.bmp"));
}

TEST_F(PicturePathsTest, FoldersWithoutTrailingSeparator) {
    m_state.strDefaultPicturePath = path("panel");
    m_state.strGraphicsPath = path("PanelGraphics");
    EXPECT_EQ(FindPicturePath("both.bmp", m_state), path("panel/both.bmp"));
    EXPECT_EQ(FindPicturePath("shared.bmp", m_state), path("PanelGraphics/shared.bmp"));
}

TEST_F(PicturePathsTest, ShortAbsoluteDriveAndNetworkNames) {
    EXPECT_EQ(FindPicturePath("ab", m_state), "");
    EXPECT_EQ(FindPicturePath("", m_state), "");
    EXPECT_EQ(FindPicturePath("C:\\Pictures\\none.bmp", m_state), "C:\\Pictures\\none.bmp");
    EXPECT_EQ(FindPicturePath("\\\\server\\share\\x.bmp", m_state), "\\\\server\\share\\x.bmp");
    EXPECT_EQ(FindPicturePath("/no/such/file.bmp", m_state), "/no/such/file.bmp");
    EXPECT_EQ(FindPicturePath(path("panel/both.bmp"), m_state), path("panel/both.bmp"));
}

TEST_F(PicturePathsTest, SeeIfFileExists) {
    EXPECT_TRUE(SeeIfFileExists(path("panel/both.bmp")));
    EXPECT_FALSE(SeeIfFileExists(path("panel")));
    EXPECT_FALSE(SeeIfFileExists(path("panel/none.bmp")));
    EXPECT_FALSE(SeeIfFileExists(""));
    EXPECT_FALSE(SeeIfFileExists(path("panel/both.bmp") + QChar(0) + "x"));
}

TEST(NormalizePictureFolder, AppendsOneSeparator) {
    EXPECT_EQ(NormalizePictureFolder(""), "");
    EXPECT_EQ(NormalizePictureFolder("pics"), "pics/");
    EXPECT_EQ(NormalizePictureFolder("pics/"), "pics/");
    EXPECT_EQ(NormalizePictureFolder("pics\\studio\\"), "pics/studio/");
    EXPECT_EQ(NormalizePictureFolder("\\\\srv\\pics\\"), "\\\\srv\\pics\\");
    EXPECT_EQ(NormalizePictureFolder("D:\\pics"), "D:\\pics\\");
}
