#include "Source/Vorn_shared.h"
