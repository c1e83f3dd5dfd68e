#include "support/Console.h"
