#pragma once

#include "protocol/FrameSender.h"

#include <QStringList>

namespace corvane::test {

// Stands in for the Core connection: keeps every frame sent, in order.
class RecordingSender : public FrameSender {
public:
    void SendCvpCommand(const QString& frame) override { frames << frame; }
    QStringList frames;
};

} // namespace corvane::test
