#include "support/Time.h"
