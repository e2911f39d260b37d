#include "support/AppGlobals.h"

namespace corvane {

AppGlobals& appGlobals() {
    static AppGlobals globals;
    return globals;
}

} // namespace corvane
