#include "hostapi/PcbApiAbi.h"

PCB_EXPORT int PCBAPI_CALL ProbeAnswer() { return 42; }
