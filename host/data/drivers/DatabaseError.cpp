#include "host/data/drivers/DatabaseError.h"
