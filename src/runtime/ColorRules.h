#pragma once

// The panel's colour rules live in support/, where the components use them too.
#include "support/ColorRules.h"
