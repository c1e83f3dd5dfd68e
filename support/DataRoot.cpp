#include "support/DataRoot.h"
