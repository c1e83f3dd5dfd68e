#include "support/TextFile.h"
