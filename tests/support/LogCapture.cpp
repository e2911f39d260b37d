#include "support/LogCapture.h"

namespace corvane::test {

LogCapture* LogCapture::s_current = nullptr;

LogCapture::LogCapture(const QString& rules) {
    s_current = this;
    QLoggingCategory::setFilterRules(rules);
    m_previous = qInstallMessageHandler(&LogCapture::handle);
}

LogCapture::~LogCapture() {
    qInstallMessageHandler(m_previous);
    QLoggingCategory::setFilterRules(QString());
    s_current = nullptr;
}

QStringList LogCapture::lines(const QString& category) const {
    QStringList found;
    for (const Line& line : m_lines) {
        if (line.category == category) {
            found.append(line.text);
        }
    }
    return found;
}

QStringList LogCapture::linesContaining(const QString& category, const QString& text) const {
    return lines(category).filter(text);
}

int LogCapture::warnings(const QString& category, const QString& containing) const {
    int count = 0;
    for (const QString& line : lines(category)) {
        count += line.startsWith(QLatin1String("warning: ")) && line.contains(containing);
    }
    return count;
}

void LogCapture::handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (s_current == nullptr) {
        return;
    }
    static const char* const kTypes[] = {"debug", "warning", "critical", "fatal", "info"};
    const int index = static_cast<int>(type);
    const QString kind = QString::fromLatin1(index >= 0 && index < 5 ? kTypes[index] : "other");
    s_current->m_lines.append(
        {QString::fromLatin1(context.category ? context.category : ""), kind + ": " + text});
}

} // namespace corvane::test
