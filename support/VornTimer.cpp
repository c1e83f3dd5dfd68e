#include "support/VornTimer.h"
