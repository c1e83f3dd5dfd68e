#include "support/System.h"
