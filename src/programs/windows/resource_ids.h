// Resource ids shared by haze.rc and the code (the resource compiler reads
// only preprocessor definitions).
#pragma once

#define HAZE_DESCRIPTION_STRING 1 // the saver's name in the desktop's list
#define HAZE_ICON 100
#define HAZE_CONFIGURE_DIALOG 2003
#define HAZE_CONFIGURE_NAME 2004
#define HAZE_CONFIGURE_TEXT 2005
