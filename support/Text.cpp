#include "support/Text.h"
