// Resource ids of the main frame: the program icon and the tray icons.
#pragma once

#define IDI_FRAME_MAIN 128
#define IDI_TRAY_GRAB_CLIP 132
#define IDI_TRAY_OFF 158
#define IDI_TRAY_GRAB 176
#define IDI_TRAY_CLIP 177
