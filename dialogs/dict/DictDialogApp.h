// What the dictionary dialogs take from the application object: its
// dictionary manager and its interface font. Texts, folders and language
// names come through the dictionary engine's host (dict/DictHost.h), which the
// application implements too.
#pragma once

#include <windows.h>

class CDictManager;

CDictManager& DictDialogManager();
HFONT DictDialogUiFont();
