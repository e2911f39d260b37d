#include "ControlHighlight.h"
#include "PanelPreview.h"
#include "app/frmCVMini.h"
#include "panel/PanelTiles.h"
#include "support/Wait.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using corvane::demo::PanelPreview;
using corvane::test::waitUntil;

namespace {

void write(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

// The preview looks for pictures in the current folder, as the client does.
class PanelPreviewTest : public testing::Test {
protected:
    void SetUp() override {
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    }
    void TearDown() override { QDir::setCurrent(m_previous); }

    QString path(const char* name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QString m_previous;
};

const QByteArray kBroken = R"(<panel><name>Studio</name><width>9000</width><height>6000</height>
<controllist>
<c><type>button</type><name>Mic1</name><left>100</left><top>100</top><width>1500</width>
  <height>750</height><mousedown>$$Nobody.caption$$</mousedown></c>
<c><type>button</type><name>Mic2</name><left>100</left><top>100</top><width>1500</width>
  <height>750</height></c>
<c><type>slider</type><name>Gain</name></c>
</controllist></panel>)";

int rowAbout(PanelPreview& preview, const QString& control, const QString& text) {
    const auto& problems = preview.problems().problems();
    for (int row = 0; row < problems.size(); ++row) {
        if (problems[row].control == control && problems[row].message.contains(text)) {
            return row;
        }
    }
    return -1;
}

TEST_F(PanelPreviewTest, ProblemsFrameTheirControlsAndFollowEverySave) {
    write(path("panel.xml"), kBroken);
    PanelPreview preview(path("panel.xml"));
    ASSERT_EQ(preview.problems().problems().size(), 3);
    corvane::demo::ControlHighlight* highlight = preview.highlight();
    ASSERT_NE(highlight, nullptr);
    EXPECT_FALSE(highlight->isVisible());

    // A problem about a control frames it, on top of the controls and around the whole of it.
    const auto control = [&](const char* name) {
        return (*preview.window()->panel().collControls.find(name))->pntrControl.data();
    };
    preview.problems().select(rowAbout(preview, "Mic2", "lies exactly on"));
    EXPECT_TRUE(highlight->isVisible());
    EXPECT_EQ(highlight->framed(), control("Mic2"));
    EXPECT_TRUE(highlight->geometry().contains(control("Mic2")->geometry()));
    const QList<QWidget*> stacking =
        corvane::PanelTiles::stackingOrder(preview.window()); // bottom up
    EXPECT_GT(stacking.indexOf(highlight), stacking.indexOf(control("Mic2")));
    preview.problems().select(rowAbout(preview, "Mic1", "names no control"));
    EXPECT_EQ(highlight->framed(), control("Mic1"));
    EXPECT_TRUE(highlight->geometry().contains(control("Mic1")->geometry()));
    // A control that is not built has nothing to frame, and the list says so.
    preview.problems().select(rowAbout(preview, "Gain", "unknown"));
    EXPECT_FALSE(highlight->isVisible());
    EXPECT_TRUE(preview.problems().note().contains("not on the panel"));

    // The designer fixes the panel and saves: the list follows.
    QSignalSpy reloaded(&preview, &PanelPreview::reloaded);
    QByteArray fixed = kBroken;
    fixed.replace("<left>100</left><top>100</top><width>1500</width>\n  <height>750</height></c>",
                  "<left>2000</left><top>100</top></c>");
    fixed.replace("$$Nobody.caption$$", "$$Mic2.caption$$");
    fixed.replace("slider", "label");
    write(path("panel.xml"), fixed);
    ASSERT_TRUE(waitUntil([&] { return reloaded.count() > 0; }));
    EXPECT_EQ(preview.problems().problems().size(), 0);
    EXPECT_TRUE(preview.problems().note().startsWith("No problems"));
}

} // namespace
