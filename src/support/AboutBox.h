#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;
class QTimer;

namespace corvane {

// The start-up splash: our logo, "M I N I" and the version. It keeps itself in front while
// its focus timer runs, and closes when its unload timer fires, when clicked (not on a label),
// or when it loses the focus once the focus timer has stopped. Closing it unloads it.
class AboutBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFocusTickMs = 25;
    static constexpr int kUnloadDelayMs = 2000;

    explicit AboutBox(QWidget* parent = nullptr);

    QTimer* SetFocusTimer() const { return m_SetFocusTimer; }
    QTimer* UnloadTimer() const { return m_UnloadTimer; }
    QLabel* Label1() const { return m_Label1; }
    QLabel* Label2() const { return m_Label2; }
    QLabel* imgLogo() const { return m_imgLogo; }

    // The window's background picture: our own artwork, drawn for the given size.
    static QPixmap LogoPicture(QSize size, qreal devicePixelRatio = 1.0);

    // The program is ending: the splash stops pulling the focus and waits to be removed.
    void programEnding() { m_ending = true; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void SetFocusTimer_Timer();
    void UnloadTimer_Timer();

    QLabel* m_imgLogo;
    QLabel* m_Label1;
    QLabel* m_Label2;
    QTimer* m_SetFocusTimer;
    QTimer* m_UnloadTimer;
    QPixmap m_background;
    bool m_ending = false;
};

} // namespace corvane
