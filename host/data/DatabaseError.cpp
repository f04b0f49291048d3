#include "host/data/DatabaseError.h"
