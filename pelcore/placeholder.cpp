#define PELCORE_BUILDING
#include "camera/ZqApi.h"
extern "C" ComStatus ZQAPI ZQ_OpenComm(ZqLinkType) { return 0; }
