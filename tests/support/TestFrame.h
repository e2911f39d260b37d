#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace corvane::test {

// One client-protocol frame as a test peer sees it: the decoded text from the frame start up
// to (not including) the frame end, with accessors for its fields.
struct TestFrame {
    QString text;

    // Frame start, full header present.
    bool isWellFormed() const;
    // The command number, or -1 when the frame is too short to carry one.
    int command() const;
    QString addressBlock() const;
    QString payload() const;
    // The payload split at the field separator (code 31).
    QStringList fields() const;

    // Frame start + command character + address block + payload + frame end, as UTF-8.
    static QByteArray build(int command, const QString& addressBlock, const QString& payload);
};

} // namespace corvane::test
