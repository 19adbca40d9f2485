// Resource ids of the view bar and the popup.
#pragma once

#define IDD_DLG_VIEW 135
#define IDC_VIEW_RESULT 119
#define IDC_VIEW_SPEAK 1019
#define IDC_VIEW_COPY 1018
#define IDC_VIEW_SAVE 1020
#define IDC_VIEW_PRINT 1021
#define IDC_VIEW_INDEX 1022
#define IDC_VIEW_FIND 1023
#define IDC_VIEW_TRANSLATE 1039
#define IDC_VIEW_INFO 1129
