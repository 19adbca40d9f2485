// CDlgDictOption: the dictionary management dialog. Three tabs show the
// query, index and grab groups as an HTML table whose rows can be enabled,
// reordered, added, removed, installed and uninstalled; the changes are made
// on the dictionary manager's own lists and saved when the dialog goes.
// InstallDict is the program's one road for installing a dictionary file,
// also on an object whose window is never created.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "dialogs/dict/DictGroupPage.h"
#include "dialogs/dict/DictHtmlDialog.h"
#include "dict/DictManager.h"
#include "guictl/GImageButton.h"
#include "guictl/GToolButton.h"
#include "guictl/OImage.h"

// A button of the tool row, right to left: the gap to its right and its width.
struct ToolbarStep {
  CGToolButton* button;
  int gap;
  int width = 0;
  int minWidth = 0;
};
// Fits the row into room pixels where it is wider: the gaps close up to 10,
// then the widest buttons narrow, none below its least width.
void FitToolbar(std::vector<ToolbarStep>& steps, int room);

class CDlgDictOption : public CDictHtmlDialog, private IDictGroupPageHost, private IDictManagerObserver {
 public:
  explicit CDlgDictOption(CWnd* parent = nullptr);
  ~CDlgDictOption() override;

  // Before the window exists: the group shown first and the dictionary whose
  // row is selected in it. Does nothing once the window exists.
  void SetInitialSelection(int32_t kind, uint32_t dictId);
  // Installs a dictionary file, asking and reporting through message boxes
  // owned by owner; true when it was installed.
  bool InstallDict(const wchar_t* path, HWND owner);

  // Switches tab, buttons and page to a group (1, 2 or 4).
  void ShowGroup(int32_t kind);
  CDictGroupPage& GetPage() { return m_page; }

  // Controls, in the order of the resource.
  CGImageButton m_tabGrab;
  CGImageButton m_tabQuery;
  CGImageButton m_tabIndex;
  CGToolButton m_btnTop;
  CGToolButton m_btnBottom;
  CButton m_btnClose;
  CGToolButton m_btnUninstall;
  CGToolButton m_btnNetInstall;
  CGToolButton m_btnInstall;
  CGToolButton m_btnDetail;
  CGToolButton m_btnDownload;
  CGToolButton m_btnUp;
  CGToolButton m_btnDown;
  CGToolButton m_btnRemove;
  CGToolButton m_btnAdd;

 protected:
  BOOL OnInitDialog() override;
  void OnPageLoaded(const std::wstring& url) override;
  void ConfigureHost() override;
  void OnBeforeNavigate(const std::wstring& url, bool* cancel) override;
  void OnDocumentEvent(htmlview::DocEvent kind, htmlview::Element* source, int keyCode) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  afx_msg void OnDestroy();
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
  DECLARE_MESSAGE_MAP()

 private:
  // IDictGroupPageHost
  void OnSelectionChanged() override { UpdateButtons(); }
  void EnsureElementVisible(htmlview::Element* element) override;
  HWND MessageOwner() override { return m_hWnd; }
  // IDictManagerObserver: an update or a second instance changed the dictionaries.
  void OnDictsChanged() override { m_page.Refresh(); }

  void SetUpTab(CGImageButton& tab, const wchar_t* key, const wchar_t* icon);
  void SetUpTool(CGToolButton& button, const wchar_t* key, const wchar_t* icon);
  void UpdateButtons();
  void LayoutToolbar(int32_t kind, int right, int top);
  void Disconnect();
  void PostToMain(UINT message, WPARAM wParam, LPARAM lParam);
  int Ask(HWND owner, const std::wstring& text, UINT type);

  void OnInstall();
  void OnUninstall();
  void OnAdd();
  void OnRemove();
  void OnDetail();

  CDictGroupPage m_page;
  // The tool buttons' widths as their captions and icons ask, before the row
  // narrows any to fit.
  std::map<CWnd*, int> m_naturalWidths;
  HWND m_hDocWnd = nullptr;
  Veltra::COImage m_tabBack;
};
