#include "tests/vexal/DesignTestsSupport.h"
