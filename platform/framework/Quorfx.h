// Quorfx: the program's window framework, a DLL that the program and its
// libraries share, so that windows, the application object and resources are
// one per process. Include this header.
//
//   FxCore.h    CObject, runtime classes, CCmdTarget and message maps
//   FxTypes.h   CPoint, CSize, CRect
//   FxString.h  CString
//   FxGdi.h     CDC and its paint/client/window forms, fonts, pens, brushes,
//               bitmaps, regions
//   FxWnd.h     CWnd: the handle map, the window procedure, ON_WM_* crackers
//   FxMenu.h    CMenu with owner-drawn items
//   FxApp.h     CWinApp, WinMain, the resource chain, Afx* services
//   FxFrame.h   CFrameWnd
//   FxDialog.h  CDialog, CColorDialog
//   FxCtrl.h    the system's controls
//   FxRes.h     the framework's own resource ids
//
// Using it:
// - A program links Quorfx and quorfx_winmain (the WinMain that calls
//   AfxWinMain) and defines one global object derived from CWinApp.
// - A library links Quorfx. Its DllMain calls AfxAddResourceModule(hInstance)
//   on attach and AfxRemoveResourceModule on detach, so that LoadString,
//   LoadMenu, dialog templates and cursors also find its resources; the
//   program's resources come first, the framework's own last. Its window
//   classes (AfxRegisterClass) are global, for the program's templates.
// - A message map is the function OnMessageMap of each class, written with
//   BEGIN_MESSAGE_MAP / ON_... / END_MESSAGE_MAP; DECLARE_MESSAGE_MAP leaves
//   the class's access at protected.
// - Where the original design threw (resource exceptions), a null or FALSE
//   result says the same.
// - Windows, menus and handle maps belong to the GUI thread.
#pragma once

#include "platform/framework/FxCore.h"
#include "platform/framework/FxTypes.h"
#include "platform/framework/FxString.h"
#include "platform/framework/FxGdi.h"
#include "platform/framework/FxWnd.h"
#include "platform/framework/FxMenu.h"
#include "platform/framework/FxApp.h"
#include "platform/framework/FxFrame.h"
#include "platform/framework/FxDialog.h"
#include "platform/framework/FxCtrl.h"
#include "platform/framework/FxRes.h"
