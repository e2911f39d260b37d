#pragma once

#include <QString>
#include <QWidget>

namespace corvane {

// What the panel shows while its Core connection is lost: a band across the top of the window
// saying so and naming the server being tried, over a clear pane that covers the whole panel
// and takes every press meant for its controls, since the Core would never hear of them. A
// press the operator still holds is not affected: its release goes to the control that took
// the press, as always.
class CoreLostBanner : public QWidget {
    Q_OBJECT
public:
    explicit CoreLostBanner(QWidget* window);

    // "Core connection lost: trying SERVER…", shown at once over everything on the window.
    void showTrying(const QString& server);
    QString text() const { return m_text; }
    // The height of the band, in pixels of the window.
    int bandHeight() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void coverWindow();

    QString m_text;
};

} // namespace corvane
