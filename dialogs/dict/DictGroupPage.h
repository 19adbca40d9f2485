// The page of the dictionary options dialog: the HTML table of one group's
// members with their glossaries, the selected row, the check boxes and the
// row moves. Everything is edited in place on the manager's own member lists;
// nothing is saved here.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dict/DictGroup.h"
#include "online/OnlineText.h"  // StartsWithNoCase

class CDictManager;
namespace htmlview {
class Document;
class Element;
}  // namespace htmlview

// What the page asks of the window that shows it.
class IDictGroupPageHost {
 public:
  virtual ~IDictGroupPageHost() = default;
  virtual void OnSelectionChanged() = 0;                      // update the buttons
  virtual void EnsureElementVisible(htmlview::Element* element) = 0;
  virtual HWND MessageOwner() = 0;                            // owner of message boxes
};

enum class RowMove { kTop, kUp, kDown, kBottom };

class CDictGroupPage {
 public:
  static constexpr uint32_t kWholeDict = 0xFFFFFFFF;

  CDictGroupPage(CDictManager& manager, IDictGroupPageHost& host);

  // The document that holds the "main" element; null while none is connected.
  void SetDocument(htmlview::Document* document) { document_ = document; }
  htmlview::Document* GetDocument() const { return document_; }

  // Makes the member list of group kind current (1, 2 or 4); false for another kind.
  bool SetKind(int32_t kind);
  int32_t GetKind() const { return kind_; }
  std::vector<DictGroupItem*>* GetMembers() const { return members_; }
  DictGroupItem* SelectedMember() const;
  int32_t GetPosition() const { return position_; }
  int32_t GetGlossaryPosition() const { return glossaryPosition_; }
  // Only while no page is shown (the initial selection of the dialog).
  void SetPosition(int32_t position, int32_t glossaryPosition);

  // The page's HTML for a group (the member list of that kind becomes current).
  bool BuildHtml(std::wstring& html, int32_t kind);
  // Builds the page into the document's "main" element.
  bool BuildPage(int32_t kind);

  bool PositionToIds(uint32_t& id, uint32_t& glossaryId, int32_t position, int32_t glossaryPosition) const;
  bool FindPosition(int32_t& position, int32_t& glossaryPosition, uint32_t id, uint32_t glossaryId) const;
  bool SelectByPosition(int32_t position, int32_t glossaryPosition);
  bool SelectById(uint32_t id, uint32_t glossaryId);
  // Forgets the selection (the document is going).
  void ResetSelection();
  // Shows the manager's lists anew after a change made elsewhere: the selected
  // row stays selected while it is there, else the row now at its place.
  void Refresh();

  // Page events.
  void OnClick(htmlview::Element* source);
  void OnDoubleClick(htmlview::Element* source);
  void OnKeyDown(int keyCode);
  // The check-box rule for the clicked box (its checked state is already the new one).
  void OnCheckClicked(htmlview::Element* box);

  // Moves the selected row and its list entry; false when it cannot move.
  bool Move(RowMove move);

 private:
  htmlview::Element* Find(const std::wstring& id) const;
  htmlview::Element* RowElement(uint32_t id, uint32_t glossaryId) const;
  std::wstring BuildRows() const;

  CDictManager& manager_;
  IDictGroupPageHost& host_;
  htmlview::Document* document_ = nullptr;
  std::vector<DictGroupItem*>* members_ = nullptr;
  int32_t kind_ = kGroupQuery;
  int32_t position_ = -1;
  int32_t glossaryPosition_ = -1;
  // The selected row by its ids: the positions name another row once the
  // manager's lists have changed under the page.
  uint32_t selectedId_ = 0;
  uint32_t selectedGlossaryId_ = kWholeDict;
};

// "dict_%.8x_%.8x" and the other element ids of the page.
std::wstring DictElementId(const wchar_t* prefix, uint32_t id, uint32_t glossaryId);
// Reads the two 8-digit hexadecimal ids that follow a prefix of `skip`
// characters ("dict_" 5, "chk_" 4); false when the text is too short.
bool ParseElementIds(const std::wstring& text, size_t skip, uint32_t& id, uint32_t& glossaryId);
// A text of the dialogs' sections; the empty text when missing.
std::wstring DlgText(const wchar_t* section, const wchar_t* key, int index = -1);
// The online dictionary's image element of the pages.
std::wstring OnlineImageHtml();
// The dictionary's name in the user-interface language.
std::wstring DictDisplayName(const class CDictFile& dict);
// That name for a message box, which grows with its text: a name of any
// length leaves the box on the screen.
std::wstring DictMessageName(const class CDictFile& dict);
// A text for a page of these dialogs, as text: a dictionary file's title or
// description must neither break the page nor bring markup into it.
std::wstring PageText(const std::wstring& text);
