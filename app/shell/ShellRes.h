// Resource ids of the application object.
#pragma once

// The main frame's resource set: menu, title text and accelerators.
#define IDR_MAINFRAME 128

#define ID_APP_EXIT_CMD 32774
#define ID_HELP_CMD 32779
