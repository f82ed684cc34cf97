#include "host/saver_host_state.h"

SaverHostState hostState;
