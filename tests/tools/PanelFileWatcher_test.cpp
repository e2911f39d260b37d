#include "PanelFileWatcher.h"
#include "support/Wait.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

using corvane::demo::PanelFileWatcher;
using corvane::test::waitUntil;

namespace {

void write(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

TEST(PanelFileWatcher, ReportsEverySaveWhetherInPlaceOrByRenameOrAfterADelete) {
    QTemporaryDir dir;
    const QString path = dir.filePath("panel.xml");
    write(path, "<panel>1</panel>");
    PanelFileWatcher watcher(path);
    EXPECT_EQ(watcher.content(), "<panel>1</panel>");
    QSignalSpy changed(&watcher, &PanelFileWatcher::changed);

    struct Save {
        const char* how;
        std::function<void(const QByteArray&)> save;
    };
    const Save saves[] = {
        {"in place", [&](const QByteArray& text) { write(path, text); }},
        {"renamed over", // as editors that keep a backup save
         [&](const QByteArray& text) {
             const QString temporary = dir.filePath(".panel.xml.swp");
             write(temporary, text);
             ASSERT_EQ(std::rename(QFile::encodeName(temporary), QFile::encodeName(path)), 0);
         }},
        {"in place after the rename", [&](const QByteArray& text) { write(path, text); }},
        {"deleted and written anew",
         [&](const QByteArray& text) {
             QFile::remove(path);
             corvane::test::pumpEvents(PanelFileWatcher::kSettleMs * 2);
             write(path, text);
         }},
    };
    int version = 2;
    for (const Save& save : saves) {
        SCOPED_TRACE(save.how);
        const QByteArray text = "<panel>" + QByteArray::number(version++) + "</panel>";
        const qsizetype before = changed.size();
        save.save(text);
        ASSERT_TRUE(waitUntil([&] { return changed.size() > before; }));
        EXPECT_EQ(changed.size(), before + 1) << "one report per save";
        EXPECT_EQ(changed.last().at(0).toByteArray(), text);
    }

    // Saving the same text again, or another file in the folder, reports nothing.
    const qsizetype before = changed.size();
    write(path, watcher.content());
    write(dir.filePath("other.xml"), "<panel/>");
    corvane::test::pumpEvents(PanelFileWatcher::kSettleMs * 3);
    EXPECT_EQ(changed.size(), before);
}

} // namespace
