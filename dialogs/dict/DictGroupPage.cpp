#include "dialogs/dict/DictGroupPage.h"

#include <algorithm>

#include "core/StrUtil.h"
#include "core/UiSeam.h"
#include "dict/DictFile.h"
#include "dict/DictHost.h"
#include "dict/DictManager.h"
#include "online/OnlineText.h"
#include "platform/htmlview/HtmlDom.h"

namespace {

// \t is kept as the pages have always been written: the HTML view folds it.
const wchar_t kTableTemplate[] =
    L"\t\t\t<table id='tab_install' style='overflow: scroll' border='0' width='100%%' cellpadding='0' "
    L"cellspacing='0'>\t\t\t\t<tr>\t\t\t\t\t<td width='100%%' style='border-bottom: 1px solid #4273B7' "
    L"nowrap>\t\t\t\t\t\t<div style='background-color:%s; color:#FFFFFF;'>\t\t\t\t\t\t\t<div nowrap "
    L"align='center' style='float: right; width: 60; padding: 5px; border-left: 1px solid "
    L"#CCCCCC;'><b>%s</b></div>\t\t\t\t\t\t\t<div nowrap align='center' style='float: right; width: 60; "
    L"padding: 5px; border-left: 1px solid #CCCCCC;'><b>%s</b></div>\t\t\t\t\t\t\t<div nowrap "
    L"style='padding: 5px;'><b>%s</b></div>\t\t\t\t\t\t<div>\t\t\t\t\t</td>\t\t\t\t</tr>\t\t\t\t%s "
    L"\t\t</table>";

const wchar_t kDictRowTemplate[] =
    L"\t\t\t<tr>\t\t\t\t<td width='100%%' style='border-bottom: 1px solid #CCCCCC' nowrap>\t\t\t\t\t<div "
    L"id='dict_%.8x_ffffffff' style='color:#000030'>\t\t\t\t\t\t<div nowrap align='center' "
    L"style='width:60; float: right; padding:2;'>%s</div>\t\t\t\t\t\t<div nowrap align='center' "
    L"style='width:60; float: right; padding:2;'>%lu</div>\t\t\t\t\t\t<div nowrap style='padding:2; "
    L"overflow: hidden; text-overflow: ellipsis'>\t\t\t\t\t\t\t<input id='chk_%.8x_ffffffff' type='checkbox' value='y' %s %s>\t\t\t\t\t\t\t<img "
    L"border='0' title='ID: %.8x' src='%s' width='16' height='16' align='absmiddle'> "
    L"%s\t\t\t\t\t\t</div>\t\t\t\t\t</div>\t\t\t\t\t<table id='gls_%.8x' border='0' width='' "
    L"cellpadding='0' cellspacing='0' style='margin:2 2 2 40; border:1 solid #E3E3E3; "
    L"background-color:#FCFCFC; display: %s'>\t\t\t\t\t\t%s\t\t\t\t\t</table>\t\t\t\t</td>\t\t\t</tr>";

const wchar_t kGlossaryRowTemplate[] =
    L"\t\t\t<tr>\t\t\t\t<td style='padding: 1px; color: #303030;' nowrap>\t\t\t\t\t<div "
    L"id='dict_%.8x_%.8x'><input id='chk_%.8x_%.8x' type='checkbox' value='y' title='ID: %.8x' %s %s> %s "
    L"</div>\t\t\t\t</td>\t\t\t</tr>";

const wchar_t kOnlineImageTemplate[] =
    L"<img border='0' title='%s' src='%s' hspace='0' width='16' height='16' align='absmiddle'> ";

constexpr uint32_t kSelectedColour = 0xFFF1D1;

uint32_t ParseHex8(const std::wstring& text, size_t at) {
  uint32_t value = 0;
  for (size_t i = at; i < at + 8; ++i) {
    wchar_t c = text[i];
    uint32_t digit = c >= L'0' && c <= L'9'   ? c - L'0'
                     : c >= L'a' && c <= L'f' ? c - L'a' + 10
                     : c >= L'A' && c <= L'F' ? c - L'A' + 10
                                              : 0;
    value = value * 16 + digit;
  }
  return value;
}

}  // namespace

std::wstring DictElementId(const wchar_t* prefix, uint32_t id, uint32_t glossaryId) {
  std::wstring out;
  FormatWString(out, L"%s%.8x_%.8x", prefix, id, glossaryId);
  return out;
}

bool ParseElementIds(const std::wstring& text, size_t skip, uint32_t& id, uint32_t& glossaryId) {
  if (text.size() < skip + 17) return false;
  id = ParseHex8(text, skip);
  glossaryId = ParseHex8(text, skip + 9);
  return true;
}

std::wstring DlgText(const wchar_t* section, const wchar_t* key, int index) {
  return DictHost().GetUiText(section, key, index);
}

std::wstring OnlineImageHtml() {
  std::wstring html;
  FormatWString(html, kOnlineImageTemplate, DlgText(L"DlgDictOption", L"OnlineType").c_str(),
                (DictHost().GetIconFolder() + L"onlinedict8.png").c_str());
  return html;
}

std::wstring DictDisplayName(const CDictFile& dict) {
  return dict.GetTitle(DictHost().GetUiLanguageCode().c_str());
}

std::wstring DictMessageName(const CDictFile& dict) { return ShortenText(DictDisplayName(dict), 100, 32); }

std::wstring PageText(const std::wstring& text) {
  std::wstring escaped;
  EscapeXmlText(escaped, text.c_str(), static_cast<uint32_t>(text.size()), false);
  return escaped;
}

CDictGroupPage::CDictGroupPage(CDictManager& manager, IDictGroupPageHost& host)
    : manager_(manager), host_(host) {
  SetKind(kGroupQuery);
}

bool CDictGroupPage::SetKind(int32_t kind) {
  const std::vector<DictGroupItem*>* members = manager_.GetGroupData(kind);
  if (!members) return false;
  kind_ = kind;
  // The manager hands its lists out read-only, but the dialog is the one place
  // where the user reorders them; the list object itself is not const.
  members_ = const_cast<std::vector<DictGroupItem*>*>(members);
  return true;
}

DictGroupItem* CDictGroupPage::SelectedMember() const {
  if (!members_ || position_ < 0 || position_ >= static_cast<int32_t>(members_->size())) return nullptr;
  return (*members_)[position_];
}

void CDictGroupPage::SetPosition(int32_t position, int32_t glossaryPosition) {
  position_ = position;
  glossaryPosition_ = glossaryPosition;
  if (!PositionToIds(selectedId_, selectedGlossaryId_, position, glossaryPosition)) ResetSelection();
}

void CDictGroupPage::ResetSelection() {
  position_ = glossaryPosition_ = -1;
  selectedId_ = 0;
  selectedGlossaryId_ = kWholeDict;
}

void CDictGroupPage::Refresh() {
  const int32_t previous = position_;
  const uint32_t id = selectedId_, glossaryId = selectedGlossaryId_;
  ResetSelection();
  SetKind(kind_);
  int32_t position, glossaryPosition;
  const bool kept = previous >= 0 && FindPosition(position, glossaryPosition, id, glossaryId);
  if (!document_) {
    if (kept) SetPosition(position, glossaryPosition);
    return;
  }
  if (!BuildPage(kind_)) return;
  if (kept) {
    SelectByPosition(position, glossaryPosition);
  } else if (previous >= 0 && !members_->empty()) {
    SelectByPosition(std::min(previous, static_cast<int32_t>(members_->size()) - 1), -1);
  }
}

std::wstring CDictGroupPage::BuildRows() const {
  std::wstring rows;
  const std::wstring language = DictHost().GetUiLanguageCode();
  for (const DictGroupItem* member : *members_) {
    CDictFile* dict = member->dictionary;
    if (!dict) continue;
    const uint32_t id = member->id;
    const wchar_t* disabled = kind_ == kGroupIndex && id == manager_.GetBaseDictId() ? L"disabled" : L"";
    const std::wstring type = dict->IsGroupLocked() ? OnlineImageHtml() : std::wstring();
    const uint32_t count = dict->GetGlossaryCount();
    std::wstring glossaries;
    for (uint32_t j = 0; j < count && j < member->glossaries.size(); ++j) {
      const GlossaryEntry& entry = member->glossaries[j];
      std::wstring label;
      if (const GlossaryTable* table = dict->GetInfo().GetTable(entry.number)) {
        if (!table->title.empty()) label = table->title + L" : ";
        label += DictHost().GetLanguageName(table->sourceLanguage.c_str()) + L" - " +
                 DictHost().GetLanguageName(table->targetLanguage.c_str());
      }
      std::wstring row;
      FormatWString(row, kGlossaryRowTemplate, id, entry.number, id, entry.number, entry.number,
                    entry.enable ? L"checked" : L"", disabled, PageText(label).c_str());
      glossaries += row;
    }
    std::wstring row;
    FormatWString(row, kDictRowTemplate, id, type.c_str(), static_cast<unsigned long>(id), id,
                  member->enable ? L"checked" : L"", disabled, id, dict->GetIconPath().c_str(),
                  PageText(dict->GetTitle(language.c_str())).c_str(), id, count < 2 ? L"none" : L"",
                  glossaries.c_str());
    rows += row;
  }
  return rows;
}

bool CDictGroupPage::BuildHtml(std::wstring& html, int32_t kind) {
  html.clear();
  if (!SetKind(kind)) return false;
  const wchar_t* title = kind == kGroupQuery ? L"QueryList" : kind == kGroupIndex ? L"IndexList" : L"GrabList";
  FormatWString(html, kTableTemplate, L"#4988CA", DlgText(L"DlgDictOption", L"Online").c_str(),
                DlgText(L"DlgDictOption", L"DictID").c_str(), DlgText(L"DlgDictOption", title).c_str(),
                BuildRows().c_str());
  return true;
}

bool CDictGroupPage::BuildPage(int32_t kind) {
  std::wstring html;
  if (!BuildHtml(html, kind)) return false;
  htmlview::Element* main = Find(L"main");
  return main && main->SetInnerHtml(html);
}

htmlview::Element* CDictGroupPage::Find(const std::wstring& id) const {
  return document_ ? document_->GetItem(id) : nullptr;
}

htmlview::Element* CDictGroupPage::RowElement(uint32_t id, uint32_t glossaryId) const {
  return Find(DictElementId(L"dict_", id, glossaryId));
}

bool CDictGroupPage::PositionToIds(uint32_t& id, uint32_t& glossaryId, int32_t position,
                                   int32_t glossaryPosition) const {
  if (!members_ || position < 0 || position >= static_cast<int32_t>(members_->size())) return false;
  const DictGroupItem* member = (*members_)[position];
  id = member->id;
  glossaryId = glossaryPosition >= 0 && glossaryPosition < static_cast<int32_t>(member->glossaries.size())
                   ? member->glossaries[glossaryPosition].number
                   : kWholeDict;
  return true;
}

bool CDictGroupPage::FindPosition(int32_t& position, int32_t& glossaryPosition, uint32_t id,
                                  uint32_t glossaryId) const {
  if (!members_) return false;
  for (size_t i = 0; i < members_->size(); ++i) {
    const DictGroupItem* member = (*members_)[i];
    if (member->id != id) continue;
    if (glossaryId == kWholeDict) {
      position = static_cast<int32_t>(i);
      glossaryPosition = -1;
      return true;
    }
    for (size_t j = 0; j < member->glossaries.size(); ++j) {
      if (member->glossaries[j].number == glossaryId) {
        position = static_cast<int32_t>(i);
        glossaryPosition = static_cast<int32_t>(j);
        return true;
      }
    }
  }
  return false;
}

bool CDictGroupPage::SelectByPosition(int32_t position, int32_t glossaryPosition) {
  uint32_t id, glossaryId;
  if (!PositionToIds(id, glossaryId, position, glossaryPosition)) return false;
  htmlview::Element* row = RowElement(id, glossaryId);
  if (!row) return false;
  uint32_t oldId, oldGlossaryId;
  if (PositionToIds(oldId, oldGlossaryId, position_, glossaryPosition_)) {
    if (htmlview::Element* old = RowElement(oldId, oldGlossaryId)) old->SetStyle(L"background-color", L"transparent");
  }
  row->SetStyleColor(L"background-color", kSelectedColour);
  host_.EnsureElementVisible(row);
  position_ = position;
  // A glossary position outside the member's list is the dictionary row.
  glossaryPosition_ = glossaryId == kWholeDict ? -1 : glossaryPosition;
  selectedId_ = id;
  selectedGlossaryId_ = glossaryId;
  host_.OnSelectionChanged();
  return true;
}

bool CDictGroupPage::SelectById(uint32_t id, uint32_t glossaryId) {
  int32_t position, glossaryPosition;
  return FindPosition(position, glossaryPosition, id, glossaryId) && SelectByPosition(position, glossaryPosition);
}

void CDictGroupPage::OnClick(htmlview::Element* source) {
  if (!source) return;
  // The row is read first: the check-box rule may show a message box, and
  // while it is up a change from elsewhere may rebuild the page.
  bool row = false;
  uint32_t dictId = 0, glossaryId = 0;
  for (htmlview::Element* e = source; e; e = e->Parent()) {
    if (!e->IsElement()) continue;
    const std::wstring id = e->Id();
    if (!StartsWithNoCase(id, L"dict_")) continue;
    row = ParseElementIds(id, 5, dictId, glossaryId);
    break;
  }
  if (StartsWithNoCase(source->Id(), L"chk_")) OnCheckClicked(source);
  if (row) SelectById(dictId, glossaryId);
}

void CDictGroupPage::OnDoubleClick(htmlview::Element* source) {
  for (htmlview::Element* e = source; e; e = e->Parent()) {
    if (!e->IsElement()) continue;
    const std::wstring id = e->Id();
    if (!StartsWithNoCase(id, L"dict_")) continue;
    uint32_t dictId, glossaryId;
    if (!ParseElementIds(id, 5, dictId, glossaryId) || glossaryId != kWholeDict) return;
    std::wstring tableId;
    FormatWString(tableId, L"gls_%.8x", dictId);
    if (htmlview::Element* table = Find(tableId))
      table->SetStyle(L"display", table->GetStyle(L"display").empty() ? L"none" : L"");
    return;
  }
}

void CDictGroupPage::OnKeyDown(int keyCode) {
  if (!members_ || members_->empty() || (keyCode != VK_DOWN && keyCode != VK_UP)) return;
  if (position_ < 0) {
    SelectByPosition(0, -1);
    return;
  }
  const int32_t next = keyCode == VK_DOWN ? position_ + 1 : position_ - 1;
  if (next >= 0 && next < static_cast<int32_t>(members_->size())) SelectByPosition(next, -1);
}

void CDictGroupPage::OnCheckClicked(htmlview::Element* box) {
  uint32_t id, glossaryId;
  int32_t position, glossaryPosition;
  if (!box || !ParseElementIds(box->Id(), 4, id, glossaryId) ||
      !FindPosition(position, glossaryPosition, id, glossaryId))
    return;
  DictGroupItem* member = (*members_)[position];
  const bool on = box->Checked();
  auto anyGlossaryEnabled = [member] {
    return std::any_of(member->glossaries.begin(), member->glossaries.end(),
                       [](const GlossaryEntry& e) { return e.enable; });
  };
  htmlview::Element* dictBox;
  htmlview::Element* glossaryBox;
  GlossaryEntry* entry;
  if (glossaryId == kWholeDict) {
    member->enable = on;
    if (member->glossaries.empty()) return;
    entry = &member->glossaries[0];
    dictBox = box;
    glossaryBox = Find(DictElementId(L"chk_", id, entry->number));
    if (!glossaryBox) return;
    if (on && !anyGlossaryEnabled()) {
      glossaryBox->SetChecked(true);
      entry->enable = true;
    }
  } else {
    entry = &member->glossaries[glossaryPosition];
    entry->enable = on;
    glossaryBox = box;
    dictBox = Find(DictElementId(L"chk_", id, kWholeDict));
    if (!dictBox) return;
    const bool any = anyGlossaryEnabled();
    dictBox->SetChecked(any);
    member->enable = any;
  }
  if (kind_ != kGroupIndex) return;
  if (std::any_of(members_->begin(), members_->end(), [](const DictGroupItem* m) { return m->enable; })) return;
  // The index pane needs one dictionary to show its keys: the box comes back on.
  dictBox->SetChecked(true);
  glossaryBox->SetChecked(true);
  member->enable = true;
  entry->enable = true;
  ShowMessageBox(host_.MessageOwner(), DlgText(L"Message", L"AtLeastOneInIndexGroup").c_str(),
                 DlgText(L"DlgDictOption", L"Title").c_str(), MB_ICONINFORMATION);
}

bool CDictGroupPage::Move(RowMove move) {
  DictGroupItem* member = SelectedMember();
  if (!member) return false;
  const bool dictRow = glossaryPosition_ < 0;
  const int32_t p = dictRow ? position_ : glossaryPosition_;
  const int32_t n = static_cast<int32_t>(dictRow ? members_->size() : member->glossaries.size());
  int32_t to;
  switch (move) {
    case RowMove::kTop: to = 0; break;
    case RowMove::kUp: to = p - 1; break;
    case RowMove::kDown: to = p + 1; break;
    default: to = n - 1; break;
  }
  if (p >= n || to < 0 || to >= n || to == p) return false;
  std::wstring tableId;
  if (dictRow)
    tableId = L"tab_install";
  else
    FormatWString(tableId, L"gls_%.8x", member->id);
  htmlview::Element* table = Find(tableId);
  // Row 0 of the group table is its header.
  const int32_t offset = dictRow ? 1 : 0;
  htmlview::Element* row = table ? table->MoveRow(p + offset, to + offset) : nullptr;
  if (!row) return false;
  if (dictRow) {
    DictGroupItem* moved = (*members_)[p];
    members_->erase(members_->begin() + p);
    members_->insert(members_->begin() + to, moved);
    position_ = to;
  } else {
    GlossaryEntry moved = member->glossaries[p];
    member->glossaries.erase(member->glossaries.begin() + p);
    member->glossaries.insert(member->glossaries.begin() + to, moved);
    glossaryPosition_ = to;
  }
  host_.EnsureElementVisible(row);
  return true;
}
