// The dictionary dialogs, what the main window, the search bar and the view
// bar use of them:
//   CDlgDictOption   DlgDictOption.h   manage installed dictionaries and the
//                    query, index and grab groups; SetInitialSelection before
//                    DoModal; InstallDict, also without a window
//   CDlgDictInfo     DlgDictInfo.h     one dictionary's properties (SetDictId)
//   CDlgDictList     DlgDictList.h     pick dictionaries for a group
//   CDlgDictInstall  DlgDictInstall.h  after an installation: add to groups
// All run modally; texts come from the user-interface text store, sections
// "DlgDictOption", "DlgDictInfo", "DlgDictList", "DlgDictInstall", "Message".
// Message boxes go through the core's UiSeam.
#pragma once

#include "dialogs/dict/DlgDictInfo.h"
#include "dialogs/dict/DlgDictInstall.h"
#include "dialogs/dict/DlgDictList.h"
#include "dialogs/dict/DlgDictOption.h"
