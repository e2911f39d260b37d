#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace corvane {

// A small window of diagnostic lines that the operator can copy to the clipboard, shown
// beside the panel when the program is started with "-d". The log is bounded: a line that
// takes it past kMaxLogChars pushes out the oldest lines, so the newest text stays.
class frmDebug : public QWidget {
    Q_OBJECT
public:
    static constexpr qsizetype kMaxLogChars = 2000;

    explicit frmDebug(QWidget* parent = nullptr);

    // Appends the text and a CR LF; keeps the newest line in view.
    void AddMessage(const QString& text);
    // The whole log as the text box holds it, CR LF after every line.
    QString log() const { return m_log; }

    QPlainTextEdit* txtDebug() const { return m_txtDebug; }
    QPushButton* btnCopy() const { return m_btnCopy; }

    // Moves the window beside the panel: right of it, or left of it when the screen ends there.
    // It follows when the panel moves or changes size, until the operator moves it elsewhere.
    void placeBeside(QWidget* panel);

    // Puts the whole log on the clipboard as plain text.
    void btnCopy_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followPanel();

    QPlainTextEdit* m_txtDebug;
    QPushButton* m_btnCopy;
    QString m_log;
    QPointer<QWidget> m_panel;
    QPoint m_placedAt;
};

} // namespace corvane
