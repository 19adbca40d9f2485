// The system's controls as thin CWnd classes: Create with the control's
// class name, and its messages as members. Owner-drawn buttons, statics and
// combo boxes get their WM_DRAWITEM / WM_MEASUREITEM back from the parent as
// the virtual DrawItem / MeasureItem.
#pragma once

#include "platform/framework/FxWnd.h"

class QUORFX_API CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    BOOL Create(LPCWSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetCheck() const { return int(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, nCheck); }
    UINT GetState() const { return UINT(SendMessage(BM_GETSTATE)); }
    void SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, bHighlight); }
    UINT GetButtonStyle() const { return UINT(GetStyle() & 0xFFFF); }
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) { SendMessage(BM_SETSTYLE, nStyle, bRedraw); }
    HICON SetIcon(HICON hIcon) { return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, LPARAM(hIcon))); }
    HBITMAP SetBitmap(HBITMAP hBitmap) {
        return reinterpret_cast<HBITMAP>(SendMessage(BM_SETIMAGE, IMAGE_BITMAP, LPARAM(hBitmap)));
    }
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) { (void)lpDrawItemStruct; }  // BS_OWNERDRAW
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class QUORFX_API CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
public:
    BOOL Create(LPCWSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xffff);
    HICON SetIcon(HICON hIcon) { return reinterpret_cast<HICON>(SendMessage(STM_SETICON, WPARAM(hIcon))); }
    HBITMAP SetBitmap(HBITMAP hBitmap) {
        return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, LPARAM(hBitmap)));
    }
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) { (void)lpDrawItemStruct; }  // SS_OWNERDRAW
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class QUORFX_API CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
    void GetSel(int& nStartChar, int& nEndChar) const;
    void ReplaceSel(LPCWSTR lpszNewText, BOOL bCanUndo = FALSE) { SendMessage(EM_REPLACESEL, bCanUndo, LPARAM(lpszNewText)); }
    void LimitText(int nChars = 0) { SendMessage(EM_LIMITTEXT, nChars); }
    BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return BOOL(SendMessage(EM_SETREADONLY, bReadOnly)); }
    int GetLineCount() const { return int(SendMessage(EM_GETLINECOUNT)); }
    BOOL GetModify() const { return BOOL(SendMessage(EM_GETMODIFY)); }
    void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, bModified); }
    void SetMargins(UINT nLeft, UINT nRight) { SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(nLeft, nRight)); }
    void Clear() { SendMessage(WM_CLEAR); }
    void Copy() { SendMessage(WM_COPY); }
    void Cut() { SendMessage(WM_CUT); }
    void Paste() { SendMessage(WM_PASTE); }
    BOOL Undo() { return BOOL(SendMessage(EM_UNDO)); }
};

class QUORFX_API CComboBox : public CWnd {
    DECLARE_DYNAMIC(CComboBox)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetCount() const { return int(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return int(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int nSelect) { return int(SendMessage(CB_SETCURSEL, nSelect)); }
    int AddString(LPCWSTR lpszString) { return int(SendMessage(CB_ADDSTRING, 0, LPARAM(lpszString))); }
    int InsertString(int nIndex, LPCWSTR lpszString) { return int(SendMessage(CB_INSERTSTRING, nIndex, LPARAM(lpszString))); }
    int DeleteString(UINT nIndex) { return int(SendMessage(CB_DELETESTRING, nIndex)); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int GetLBTextLen(int nIndex) const { return int(SendMessage(CB_GETLBTEXTLEN, nIndex)); }
    int GetLBText(int nIndex, LPWSTR lpszText) const { return int(SendMessage(CB_GETLBTEXT, nIndex, LPARAM(lpszText))); }
    void GetLBText(int nIndex, CString& rString) const;
    DWORD_PTR GetItemData(int nIndex) const { return DWORD_PTR(SendMessage(CB_GETITEMDATA, nIndex)); }
    int SetItemData(int nIndex, DWORD_PTR dwItemData) { return int(SendMessage(CB_SETITEMDATA, nIndex, LPARAM(dwItemData))); }
    int FindString(int nStartAfter, LPCWSTR lpszString) const {
        return int(SendMessage(CB_FINDSTRING, nStartAfter, LPARAM(lpszString)));
    }
    int FindStringExact(int nIndexStart, LPCWSTR lpszFind) const {
        return int(SendMessage(CB_FINDSTRINGEXACT, nIndexStart, LPARAM(lpszFind)));
    }
    int SelectString(int nStartAfter, LPCWSTR lpszString) {
        return int(SendMessage(CB_SELECTSTRING, nStartAfter, LPARAM(lpszString)));
    }
    void ShowDropDown(BOOL bShowIt = TRUE) { SendMessage(CB_SHOWDROPDOWN, bShowIt); }
    BOOL GetDroppedState() const { return BOOL(SendMessage(CB_GETDROPPEDSTATE)); }
    BOOL SetEditSel(int nStartChar, int nEndChar) { return BOOL(SendMessage(CB_SETEDITSEL, 0, MAKELONG(nStartChar, nEndChar))); }
    BOOL LimitText(int nMaxChars) { return BOOL(SendMessage(CB_LIMITTEXT, nMaxChars)); }
    int SetItemHeight(int nIndex, UINT cyItemHeight) { return int(SendMessage(CB_SETITEMHEIGHT, nIndex, cyItemHeight)); }
    int GetItemHeight(int nIndex) const { return int(SendMessage(CB_GETITEMHEIGHT, nIndex)); }
    int SetDroppedWidth(UINT nWidth) { return int(SendMessage(CB_SETDROPPEDWIDTH, nWidth)); }
    // Owner-drawn combo boxes (CBS_OWNERDRAWFIXED / VARIABLE).
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) { (void)lpDrawItemStruct; }
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) { (void)lpMeasureItemStruct; }
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class QUORFX_API CSpinButtonCtrl : public CWnd {
    DECLARE_DYNAMIC(CSpinButtonCtrl)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetRange(short nLower, short nUpper) { SendMessage(UDM_SETRANGE, 0, MAKELPARAM(nUpper, nLower)); }
    void SetRange32(int nLower, int nUpper) { SendMessage(UDM_SETRANGE32, nLower, nUpper); }
    void GetRange32(int& nLower, int& nUpper) const { SendMessage(UDM_GETRANGE32, WPARAM(&nLower), LPARAM(&nUpper)); }
    int SetPos(int nPos) { return int(short(SendMessage(UDM_SETPOS, 0, MAKELPARAM(nPos, 0)))); }
    int GetPos() const { return int(SendMessage(UDM_GETPOS)); }  // high word non-zero on error
    CWnd* SetBuddy(CWnd* pWndBuddy) { return FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, WPARAM(HwndOf(pWndBuddy))))); }
    CWnd* GetBuddy() const { return FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY))); }
};

class QUORFX_API CSliderCtrl : public CWnd {
    DECLARE_DYNAMIC(CSliderCtrl)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGE, bRedraw, MAKELPARAM(nMin, nMax)); }
    void SetRangeMin(int nMin, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGEMIN, bRedraw, nMin); }
    void SetRangeMax(int nMax, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGEMAX, bRedraw, nMax); }
    int GetRangeMin() const { return int(SendMessage(TBM_GETRANGEMIN)); }
    int GetRangeMax() const { return int(SendMessage(TBM_GETRANGEMAX)); }
    int GetPos() const { return int(SendMessage(TBM_GETPOS)); }
    void SetPos(int nPos) { SendMessage(TBM_SETPOS, TRUE, nPos); }
    void SetTicFreq(int nFreq) { SendMessage(TBM_SETTICFREQ, nFreq); }
    int SetPageSize(int nSize) { return int(SendMessage(TBM_SETPAGESIZE, 0, nSize)); }
    int SetLineSize(int nSize) { return int(SendMessage(TBM_SETLINESIZE, 0, nSize)); }
};

class QUORFX_API CHotKeyCtrl : public CWnd {
    DECLARE_DYNAMIC(CHotKeyCtrl)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetHotKey(WORD wVirtualKeyCode, WORD wModifiers) { SendMessage(HKM_SETHOTKEY, MAKEWORD(wVirtualKeyCode, wModifiers)); }
    DWORD GetHotKey() const { return DWORD(SendMessage(HKM_GETHOTKEY)); }  // low byte key, next byte HOTKEYF_*
    void GetHotKey(WORD& wVirtualKeyCode, WORD& wModifiers) const;
    void SetRules(WORD wInvalidComb, WORD wModifiers) { SendMessage(HKM_SETRULES, wInvalidComb, MAKELPARAM(wModifiers, 0)); }
};

class QUORFX_API CTabCtrl : public CWnd {
    DECLARE_DYNAMIC(CTabCtrl)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    LONG InsertItem(int nItem, LPCWSTR lpszItem);
    LONG InsertItem(int nItem, TCITEMW* pTabCtrlItem) { return LONG(SendMessage(TCM_INSERTITEMW, nItem, LPARAM(pTabCtrlItem))); }
    BOOL GetItem(int nItem, TCITEMW* pTabCtrlItem) const { return BOOL(SendMessage(TCM_GETITEMW, nItem, LPARAM(pTabCtrlItem))); }
    BOOL SetItem(int nItem, TCITEMW* pTabCtrlItem) { return BOOL(SendMessage(TCM_SETITEMW, nItem, LPARAM(pTabCtrlItem))); }
    BOOL DeleteItem(int nItem) { return BOOL(SendMessage(TCM_DELETEITEM, nItem)); }
    BOOL DeleteAllItems() { return BOOL(SendMessage(TCM_DELETEALLITEMS)); }
    int GetItemCount() const { return int(SendMessage(TCM_GETITEMCOUNT)); }
    int GetCurSel() const { return int(SendMessage(TCM_GETCURSEL)); }
    int SetCurSel(int nItem) { return int(SendMessage(TCM_SETCURSEL, nItem)); }
    BOOL GetItemRect(int nItem, LPRECT lpRect) const { return BOOL(SendMessage(TCM_GETITEMRECT, nItem, LPARAM(lpRect))); }
    void AdjustRect(BOOL bLarger, LPRECT lpRect) { SendMessage(TCM_ADJUSTRECT, bLarger, LPARAM(lpRect)); }
    HIMAGELIST SetImageList(HIMAGELIST hImageList) {
        return reinterpret_cast<HIMAGELIST>(SendMessage(TCM_SETIMAGELIST, 0, LPARAM(hImageList)));
    }
};

class QUORFX_API CToolTipCtrl : public CWnd {
    DECLARE_DYNAMIC(CToolTipCtrl)
public:
    // A pop-up tooltip owned by pParentWnd.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    // A tool for the whole client area of pWnd (lpRectTool null) or a part of it.
    BOOL AddTool(CWnd* pWnd, LPCWSTR lpszText, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
    void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
    void UpdateTipText(LPCWSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    BOOL GetToolInfo(TOOLINFOW& toolInfo, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
    void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
    void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, bActivate); }
    void RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, LPARAM(lpMsg)); }
    int SetMaxTipWidth(int iWidth) { return int(SendMessage(TTM_SETMAXTIPWIDTH, 0, iWidth)); }
    void SetDelayTime(DWORD dwDuration, int iTime) { SendMessage(TTM_SETDELAYTIME, dwDuration, MAKELPARAM(iTime, 0)); }
    void Pop() { SendMessage(TTM_POP); }
    int GetToolCount() const { return int(SendMessage(TTM_GETTOOLCOUNT)); }

private:
    void FillInToolInfo(TOOLINFOW& ti, CWnd* pWnd, UINT_PTR nIDTool) const;
};
