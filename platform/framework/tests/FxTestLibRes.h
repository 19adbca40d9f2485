// Resource ids of the test library.
#pragma once

#define IDS_LIB_TEXT 3001
#define IDC_LIB_CURSOR 3002
