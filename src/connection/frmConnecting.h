#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QTimer;

namespace corvane {

// The small window shown while no Core is connected or the panel is still loading. Its label
// blinks between yellow and the button face and counts dots under the word "Connecting" (or
// "Loading" once the panel definition is on its way), above the address being tried. It is a
// tool window of its parent, the panel: kept in front of the panel, not of other programs.
class frmConnecting : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString strToAddress READ strToAddress WRITE setStrToAddress)
public:
    static constexpr qint32 kYellow = 0x0000FFFF;
    static constexpr int kTickMs = 500;

    explicit frmConnecting(QWidget* parent = nullptr);

    QLabel* lblConnecting() const { return m_lblConnecting; }
    QTimer* timConnecting() const { return m_timConnecting; }

    QString strToAddress() const { return m_strToAddress; }
    void setStrToAddress(const QString& address);

    // The animation step last shown: 0 before the first tick, then 1, 2, 3, 4, 1, ...
    int step() const { return m_step; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void timConnecting_Timer();
    void setLabelBackColor(qint32 colorNumber);

    QLabel* m_lblConnecting;
    QTimer* m_timConnecting;
    QString m_strToAddress;
    int m_step = 0;
};

} // namespace corvane
