#include "panel/PanelTiles.h"

#include <QApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace corvane;

namespace {

// The same controls twice: once in tiles, and once as plain children of a window, stacked by
// raising and lowering as the panel did before it had tiles. Whatever an operator can see or
// click must be the same on both.
class TiledAndFlat {
public:
    static constexpr int kControls = 400; // several tiles of each kind
    static constexpr QSize kWindow{320, 240};

    TiledAndFlat() {
        for (QWidget* window : {&m_tiledWindow, &m_flatWindow}) {
            window->resize(kWindow);
            window->setAutoFillBackground(true);
            window->setPalette(QPalette(Qt::white));
            window->show();
        }
        PanelTiles& tiles = PanelTiles::of(&m_tiledWindow);
        tiles.holdMasks();
        QRandomGenerator random(11);
        for (int i = 0; i < kControls; ++i) {
            const bool behind = random.bounded(10) < 3; // as meters and strips are
            const QRect place(random.bounded(kWindow.width()), random.bounded(kWindow.height()),
                              4 + random.bounded(40), 4 + random.bounded(30));
            QWidget* tiled = control(behind ? tiles.back() : tiles.front(), i, place);
            QWidget* flat = control(&m_flatWindow, i, place);
            if (behind) {
                tiled->lower();
                flat->lower();
            }
            m_tiled.push_back(tiled);
            m_flat.push_back(flat);
        }
        tiles.releaseMasks();
    }

    // Hides, shows, moves and resizes controls of both panels alike.
    void change(quint32 seed) {
        QRandomGenerator random(seed);
        for (int n = 0; n < kControls / 4; ++n) {
            const int i = random.bounded(kControls);
            const int what = random.bounded(3);
            const QRect place(random.bounded(kWindow.width()), random.bounded(kWindow.height()),
                              4 + random.bounded(40), 4 + random.bounded(30));
            for (QWidget* widget : {m_tiled[i], m_flat[i]}) {
                if (what == 0) {
                    widget->setVisible(!widget->isVisible());
                } else {
                    widget->setGeometry(place);
                }
            }
        }
    }

    // The differences between the two panels: controls clicked at points of a grid, and
    // pixels of the painted windows.
    void expectSame() {
        QApplication::processEvents();
        int clicksDiffering = 0;
        for (int y = 0; y < m_flatWindow.height(); y += 3) {
            for (int x = 0; x < m_flatWindow.width(); x += 3) {
                if (indexAt(m_tiledWindow, {x, y}) != indexAt(m_flatWindow, {x, y})) {
                    ++clicksDiffering;
                }
            }
        }
        EXPECT_EQ(clicksDiffering, 0);
        const QImage tiled = m_tiledWindow.grab().toImage();
        const QImage flat = m_flatWindow.grab().toImage();
        EXPECT_TRUE(tiled == flat) << "the tiled panel looks different";

        std::vector<int> tiledOrder;
        for (QWidget* widget : PanelTiles::stackingOrder(&m_tiledWindow)) {
            tiledOrder.push_back(widget->property("index").toInt());
        }
        std::vector<int> flatOrder;
        for (QWidget* widget : PanelTiles::stackingOrder(&m_flatWindow)) {
            flatOrder.push_back(widget->property("index").toInt());
        }
        EXPECT_EQ(tiledOrder, flatOrder);
    }

    QWidget m_tiledWindow;
    QWidget m_flatWindow;
    std::vector<QWidget*> m_tiled;
    std::vector<QWidget*> m_flat;

private:
    static QWidget* control(QWidget* parent, int index, const QRect& place) {
        auto* widget = new QWidget(parent);
        widget->setProperty("index", index);
        widget->setAutoFillBackground(true);
        widget->setPalette(QPalette(QColor::fromHsv(index * 37 % 360, 200, 120 + index % 120)));
        widget->setGeometry(place);
        widget->show();
        return widget;
    }

    static int indexAt(const QWidget& window, QPoint point) {
        const QWidget* hit = window.childAt(point);
        return hit != nullptr ? hit->property("index").toInt() : -1;
    }
};

TEST(PanelTiles, ControlsInTilesAreSeenAndClickedAsIfOnTheWindow) {
    TiledAndFlat panels;
    ASSERT_GT(panels.m_tiledWindow.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 4);
    panels.expectSame();
    // Controls shown, hidden, moved and resized later, in several rounds, each with a repaint.
    for (quint32 round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        panels.change(round);
        panels.expectSame();
    }
    // A control removed leaves nothing behind; on a window made larger, controls moved into
    // the new room take their clicks there.
    for (int i = 0; i < TiledAndFlat::kControls; i += 5) {
        delete panels.m_tiled[i];
        delete panels.m_flat[i];
    }
    panels.m_tiledWindow.resize(480, 360);
    panels.m_flatWindow.resize(480, 360);
    for (int i = 1; i < TiledAndFlat::kControls; i += 5) {
        const QRect place(300 + i % 150, 200 + i % 140, 30, 20);
        panels.m_tiled[i]->setGeometry(place);
        panels.m_flat[i]->setGeometry(place);
    }
    panels.expectSame();
}

} // namespace
