#pragma once

#include "ControlHighlight.h"
#include "LevelGenerator.h"
#include "PanelFileWatcher.h"
#include "ProblemList.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <vector>

namespace corvane {
class frmCVMini;
}

namespace corvane::demo {

// Shows a panel definition file as the client builds it, without a Core, with the demo meter
// server's programme levels on its meters and strips, and beside it the problems the panel
// checker finds. Selecting a problem frames its control. Each save of the file shows the panel
// and its problems anew, so a designer sees every edit at once.
class PanelPreview : public QObject {
    Q_OBJECT
public:
    // Pictures are looked up in PanelGraphics of the current folder, as the client does.
    explicit PanelPreview(const QString& path, QObject* parent = nullptr);
    ~PanelPreview() override;

    frmCVMini* window() const { return m_window.get(); }
    ProblemList& problems() { return m_problems; }
    ControlHighlight* highlight() const { return m_highlight; }

signals:
    // The file was saved and is shown anew.
    void reloaded();

private:
    void show(const QByteArray& definition);
    void showProblems(const QByteArray& definition);
    void frameControl(const QString& name);
    void moveLevels(qint64 nowMs);
    void feedMeters(frmCVMini& window);

    struct Feed {
        QPointer<QWidget> control;
        DemoPoint point;
        LevelGenerator generator;
    };

    PanelFileWatcher m_watcher;
    ProblemList m_problems;
    std::vector<Feed> m_feeds;
    std::unique_ptr<frmCVMini> m_window;
    QPointer<ControlHighlight> m_highlight;
    QTimer m_levels;
    QElapsedTimer m_clock;
};

} // namespace corvane::demo
