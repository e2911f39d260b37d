#pragma once

#include <QList>
#include <QLoggingCategory>
#include <QString>
#include <QtGlobal>

namespace corvane::test {

// Collects what the client logs while it lives, instead of printing it.
class LogCapture {
public:
    struct Message {
        QtMsgType type;
        QString category;
        QString text;
    };

    LogCapture() {
        s_current = this;
        m_previous = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const QList<Message>& messages() const { return m_messages; }
    // Warnings of one category whose text contains the given words.
    int warnings(const QString& category, const QString& containing = {}) const {
        int count = 0;
        for (const Message& message : m_messages) {
            count += message.type == QtWarningMsg && message.category == category &&
                     message.text.contains(containing);
        }
        return count;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (s_current != nullptr) {
            s_current->m_messages.append(
                {type, QString::fromLatin1(context.category ? context.category : ""), text});
        }
    }

    static inline LogCapture* s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
    QList<Message> m_messages;
};

} // namespace corvane::test
