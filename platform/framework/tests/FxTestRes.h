// Resource ids of the framework tests' own resources.
#pragma once

#define IDD_TEST_MODAL 100
#define IDD_TEST_PANE 101
#define IDC_TEST_EDIT 1001
#define IDC_PANE_BUTTON 1102
#define IDC_PANE_EDIT 1103
#define IDC_PANE_CUSTOM 1104
#define IDR_TEST_FRAME 200
#define ID_TEST_ITEM 300
#define ID_TEST_F2 301
#define ID_TEST_CTRL_A 302
#define IDS_TEST_HELLO 210
