// The fault plans are all in the header; this unit checks that it stands alone.
#include "support/FaultPlan.h"
