#include "support/ProfileSection.h"
