#pragma once

#include "support/ControlFacts.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

namespace corvane {

// The studio clock of a panel (`TSClockInterop`): local time, digital or analogue. It takes
// its place, size and look from the XML of its own control element (IngestXML); anything it
// cannot read leaves that setting as it was. It redraws on each new second. Its colours are
// backColor and foreColor, read from colour texts by the panel's colour rules.
class TSClockInterop : public QWidget, public HoldsControlFacts {
    Q_OBJECT
    Q_PROPERTY(qint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(qint32 ForeColor READ ForeColor WRITE setForeColor)
public:
    enum Face { Digital = 0, Analogue = 1 };
    using TimeSource = std::function<QDateTime()>;

    explicit TSClockInterop(QWidget* parent = nullptr);

    // Returns whether the text was well-formed XML; a malformed text changes nothing.
    Q_INVOKABLE bool IngestXML(const QString& xml);
    // The same settings already read: each the name of a child element in lower case, and the
    // text within it.
    using Settings = QList<std::pair<QString, QString>>;
    void Ingest(const Settings& settings);

    Face face() const { return m_face; }
    void setFace(Face face);
    bool showSeconds() const { return m_showSeconds; }
    void setShowSeconds(bool show);
    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor& color);
    QColor foreColor() const { return m_foreColor; }
    void setForeColor(const QColor& color);
    // The same colours as colour numbers (0x00BBGGRR). A named Qt colour stays a colour.
    qint32 BackColor() const;
    void setBackColor(qint32 colorNumber);
    void setBackColor(Qt::GlobalColor color) { setBackColor(QColor(color)); }
    qint32 ForeColor() const;
    void setForeColor(qint32 colorNumber);
    void setForeColor(Qt::GlobalColor color) { setForeColor(QColor(color)); }

    // The digital reading for a time, as drawn.
    QString digitalText(const QTime& time) const;
    // Local time unless replaced.
    void setTimeSource(TimeSource source);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void fitDigits();
    const QFont& digitFont() const;
    void scheduleNextSecond();
    void paintDigital(QPainter& painter, const QTime& time) const;
    void paintAnalogue(QPainter& painter, const QTime& time) const;

    Face m_face = Digital;
    bool m_showSeconds = true;
    QColor m_backColor{Qt::black};
    QColor m_foreColor{0xff, 0x30, 0x24};
    mutable std::optional<QFont> m_digitFont; // fitted to the size when first drawn
    TimeSource m_timeSource;
    QTimer m_secondTimer;
};

} // namespace corvane
