// Kestrelu.dll, what the program uses of it:
//
//   Kestrel_Initialize(skinFolder) / Kestrel_UnInitialize()   GuiManager.h
//     counted; the first call before any control is constructed.
//   WM_GUI_PARENTBKGND (1206) + GuiBkgndRequest: a control asks its parent
//     to paint the background behind it; WM_SPLITTER_MOVED (1225).
//   CGImageButton   skinned push/check/radio button       GImageButton.h
//   CGToolButton    flat tool button with a drop-down part GToolButton.h
//   CGLinkButton    hyperlink-style owner-drawn button     GLinkButton.h
//   CGStatic        label, etched line or group box        GStatic.h
//   CGSplitterBar   bar between two panes                  GSplitterBar.h
//   Veltra::COImage the pixel image; CPngImage its files   OImage.h, ImageFile.h
//
// Control setters take a trailing redraw argument; a colour of 0xFFFFFFFF
// selects the control's default colour.
#pragma once

#include "guictl/GImageButton.h"
#include "guictl/GLinkButton.h"
#include "guictl/GSplitterBar.h"
#include "guictl/GStatic.h"
#include "guictl/GToolButton.h"
#include "guictl/GuiManager.h"
#include "guictl/ImageFile.h"
#include "guictl/OImage.h"
