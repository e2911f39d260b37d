#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QStringList>

namespace corvane::test {

// Collects what the program logs while it lives, with the given logging rules in force (by
// default every corvane category at debug level). One at a time; the previous handler and
// rules come back when it goes.
class LogCapture {
public:
    explicit LogCapture(const QString& rules = QStringLiteral("corvane.*.debug=true"));
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Messages of one category, each as "debug: text", "warning: text" and so on.
    QStringList lines(const QString& category) const;
    // The messages of a category that contain the text.
    QStringList linesContaining(const QString& category, const QString& text) const;
    // How many warnings of the category contain the text.
    int warnings(const QString& category, const QString& containing = {}) const;

private:
    struct Line {
        QString category;
        QString text;
    };
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text);

    QList<Line> m_lines;
    QtMessageHandler m_previous = nullptr;
    static LogCapture* s_current;
};

} // namespace corvane::test
