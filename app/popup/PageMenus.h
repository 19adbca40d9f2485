// The view bar's and the popup's actions on the result page and the groups,
// apart from their windows: the section state of one dictionary, the
// dictionary menu and its commands, the result view's context menu, the text
// that a "Search" looks up, and the saved page.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CConfigFile;
class CDictManager;

// Page action records that arrive as lParam of WM_PAGE_ACTION.
struct DictMenuRequest {  // action 150
  int32_t x;
  uint32_t id;
  int32_t kind;
  int32_t y;
};
struct SectionRequest {  // action 156 from the result page
  int32_t kind;
  uint32_t id;
  int32_t explicitState;
  int32_t show;
};
struct SectionToggle {  // action 156 from the popup's page
  uint32_t id;
  int32_t kind;
};

// Commands of the dictionary menu and of the result view's context menu.
enum : UINT {
  kCmdDictAbout = 151,
  kCmdDictEnable = 152,
  kCmdDictMoveTop = 153,
  kCmdDictArrange = 154,
  kCmdCtxSelectAll = 793,
  kCmdCtxPrint = 794,
  kCmdCtxSave = 795,
  kCmdCtxFind = 796,
  kCmdCtxCopy = 797,
  kCmdCtxSpeak = 798,
  kCmdCtxSearch = 799,
  kCmdVoiceDownload = 800,
  kCmdVoiceOptions = 801,
  kCmdVoiceFirst = 802,
};

// Sets a member's minimise flag (in memory only): explicitly to !show, or
// toggled. False when the dictionary is no member of that group.
bool SetSectionState(CDictManager& manager, int32_t kind, uint32_t id, bool explicitState, bool show,
                     bool& minimized);
// Element names of a dictionary's section on a page.
std::wstring SectionMeaningName(uint32_t id);
std::wstring SectionShowName(uint32_t id);

struct MenuItemText {
  UINT flags;
  UINT id;
  std::wstring text;
};
// The dictionary menu of a group member; empty when it is no member.
std::vector<MenuItemText> DictMenuItems(CDictManager& manager, const CConfigFile& texts, int32_t kind, uint32_t id);
// Flips the member's enable flag and saves the configuration; false when no
// member. `enabled` is the new state.
bool ToggleMemberEnable(CDictManager& manager, int32_t kind, uint32_t id, bool& enabled);
// Moves the member to the front of the group and saves the configuration.
bool MoveMemberToTop(CDictManager& manager, int32_t kind, uint32_t id);

// The result view's context menu (plain, owned by the caller). Voices are
// listed by description; checkedVoice is -1 when none matches.
HMENU BuildResultContextMenu(const CConfigFile& texts, bool textSelected, const std::vector<std::wstring>& voices,
                             int checkedVoice);
// The drop-down menu of the view bar's speak button (plain, owned by the
// caller): the voices, then the speech options and the download of voices.
HMENU BuildVoiceMenu(const CConfigFile& texts, const std::vector<std::wstring>& voices, int checkedVoice);
// The view bar command of a context-menu item that maps one to one; 0 for others.
UINT ContextMenuCommand(UINT item);

// Page text that "Search" looks up: LF as a blank, CR dropped, blanks, tabs,
// CR and LF trimmed, at most 1024 characters.
void CleanLookupText(std::wstring& text);

// The saved result page: a byte-order mark, the page shell up to its first
// "<body", then the body's HTML and "\n</html>".
std::wstring ComposeSavedPage(const std::wstring& shell, const std::wstring& bodyHtml);
// Writes the composed page as UTF-16; the shell is decoded by its byte-order
// mark, UTF-8 without one. False when the shell cannot be read or the file
// not be written.
bool WriteSavedPage(const wchar_t* path, const wchar_t* shellPath, const std::wstring& bodyHtml);
