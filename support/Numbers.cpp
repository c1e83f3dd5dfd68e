#include "support/Numbers.h"
