#pragma once

#include <QLabel>

namespace corvane {

// The small mark in a corner of the panel while levels from the meter server are missing:
// "No meter data" in neutral grey. It takes no presses: whatever is under it stays usable.
class NoMeterDataMark : public QLabel {
    Q_OBJECT
public:
    explicit NoMeterDataMark(QWidget* window);
};

} // namespace corvane
