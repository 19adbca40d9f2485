// Resource ids of the search bar and the index pane (Search.rc).
#pragma once

// Dialog templates.
#define IDD_DLG_INDEX 134
#define IDD_DLG_INPUT 136

// Search bar.
#define IDC_INPUT_EDIT 105
#define IDC_INPUT_SEARCH 106
#define IDC_INPUT_AUTOMATCH 107
#define IDC_INPUT_HISTORY 1009
#define IDC_INPUT_BACK 1011
#define IDC_INPUT_FORWARD 1012
#define IDC_INPUT_MAINMENU 1013

// Index pane.
#define IDC_INDEX_TAB_INDEX 1001
#define IDC_INDEX_TAB_GUIDE 1002
#define IDC_INDEX_TAB_APPENDIX 1003
#define IDC_INDEX_WORDLIST 1015
#define IDC_INDEX_GUIDE 137

// Commands of the search bar's dictionary menu.
#define ID_AUTOMATCH_SETUP 598
#define ID_AUTOMATCH_ALL 599
#define ID_AUTOMATCH_FIRST 600
