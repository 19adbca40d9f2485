// CDlgView: the right-hand pane of the main window (dialog 135): the result
// view under a strip of buttons (index pane, speak with a voice menu, copy,
// save, print, find, text translation, start page). It answers the result
// page's section and dictionary-menu actions and owns the commands of the
// result view's context menu (ResultContextMenu, the view's callback).
#pragma once

#include <string>

#include "app/popup/PopupMessages.h"
#include "app/popup/PopupRes.h"
#include "app/views/ResultView.h"
#include "guictl/Kestrelu.h"
#include "platform/framework/Quorfx.h"

struct DictMenuRequest;
struct SectionRequest;

class CDlgView : public CDialog {
 public:
  enum { IDD = IDD_DLG_VIEW };

  explicit CDlgView(CWnd* parent = nullptr);
  ~CDlgView() override;

  // Hands a result page to the result view; false for a null html or word.
  bool SetResultHtml(const wchar_t* html, const wchar_t* word, bool scrollTop);
  BOOL PreTranslateMessage(MSG* pMsg) override;

  // The result view's context menu; the context is the view.
  static HRESULT ResultContextMenu(DWORD kind, POINT screen, htmlview::HtmlView* target, htmlview::Element* element,
                                   void* context);

  // Page actions 150 and 156 (lParam of WM_PAGE_ACTION).
  LRESULT ShowDictMenu(const DictMenuRequest* request);
  LRESULT SetSectionState(const SectionRequest* request);
  // Saves the page under the name the user picks (command 1020).
  void SavePage();
  void Speak();

  Veltra::COImage m_imgBack;
  CResultView m_view;
  CGToolButton m_btnInfo;
  CGToolButton m_btnTranslate;
  CGImageButton m_btnIndex;
  CGToolButton m_btnFind;
  CGToolButton m_btnSave;
  CGToolButton m_btnPrint;
  CGToolButton m_btnSpeak;
  CGToolButton m_btnCopy;

 protected:
  BOOL OnInitDialog() override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnOK() override {}
  void OnCancel() override {}

  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnNcPaint();
  afx_msg void OnSetFocus(CWnd* oldWnd);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  void OnIndexButton();
  void Copy();
  void SearchSelection();
  void ShowStartPage();
  void ShowVoiceMenu();
  void SelectVoice(size_t index);
  LRESULT OnParentBackground(const RECT* rect, GuiBkgndRequest* request);
};

// The search bar's input text, for speaking without a selection.
void ViewBarInputText(std::wstring& text);
