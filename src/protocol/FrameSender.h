#pragma once

#include <QString>

namespace corvane {

// Where outgoing frames go: the Core connection in the program, a recorder in tests.
class FrameSender {
public:
    virtual ~FrameSender() = default;
    virtual void SendCvpCommand(const QString& frame) = 0;
};

} // namespace corvane
