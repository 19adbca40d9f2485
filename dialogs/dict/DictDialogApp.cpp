#include "dialogs/dict/DictDialogApp.h"

#include "app/shell/QuorindoApp.h"

CDictManager& DictDialogManager() { return *theApp.GetDictManager(); }

HFONT DictDialogUiFont() { return static_cast<HFONT>(theApp.m_uiFont.GetSafeHandle()); }
