#pragma once

#include <QString>

namespace corvane {

// A number as exactly four upper-case hexadecimal digits, zero-padded on the left; "Error" for
// numbers that need more digits and for negative numbers.
QString GetHex4(qint32 number);

} // namespace corvane
