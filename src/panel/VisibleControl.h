#pragma once

#include "panel/clsUPControl.h"

#include <stdexcept>

namespace corvane {

// The record's visible control; a std::runtime_error when there is none (never built, or
// gone), which ends the operation that needed it.
inline QWidget& VisibleControl(const clsUPControl& record) {
    if (!record.pntrControl) {
        throw std::runtime_error("the control is not on the panel");
    }
    return *record.pntrControl;
}

} // namespace corvane
