// Message maps: which handler each message reaches and with what arguments,
// reflection to controls, the PreTranslateMessage chain and the handle map.
#include <gtest/gtest.h>

#include <vector>

#include "platform/framework/tests/TestWindows.h"

namespace {

std::wstring Fmt(const wchar_t* format, ...) {
    CString s;
    va_list args;
    va_start(args, format);
    s.FormatV(format, args);
    va_end(args);
    return s.Str();
}

// The base handles a few messages; the derived map overrides one of them
// and adds the rest, so both halves of the chain are exercised.
class BaseRecorder : public CWnd {
public:
    std::wstring log;

protected:
    afx_msg void OnMove(int x, int y) { log = Fmt(L"Base.OnMove %d %d", x, y); }
    afx_msg void OnTimer(UINT_PTR id) { log = Fmt(L"Base.OnTimer %u", unsigned(id)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseRecorder, CWnd)
    ON_WM_MOVE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

class Recorder : public BaseRecorder {
protected:
    afx_msg void OnTimer(UINT_PTR id) { log = Fmt(L"OnTimer %u", unsigned(id)); }
    afx_msg void OnSize(UINT type, int cx, int cy) { log = Fmt(L"OnSize %u %d %d", type, cx, cy); }
    afx_msg void OnLButtonDown(UINT flags, CPoint p) { log = Fmt(L"OnLButtonDown %u %d %d", flags, p.x, p.y); }
    afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint p) {
        log = Fmt(L"OnMouseWheel %u %d %d %d", flags, delta, p.x, p.y);
        return TRUE;
    }
    afx_msg void OnKeyDown(UINT ch, UINT rep, UINT flags) { log = Fmt(L"OnKeyDown %u %u %u", ch, rep, flags); }
    afx_msg void OnHotKey(UINT id, UINT mods, UINT vk) { log = Fmt(L"OnHotKey %u %u %u", id, mods, vk); }
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT hit, UINT msg) {
        log = Fmt(L"OnSetCursor %d %u %u", pWnd == this, hit, msg);
        return TRUE;
    }
    afx_msg BOOL OnCopyData(CWnd*, COPYDATASTRUCT* cds) {
        log = Fmt(L"OnCopyData %u %u", unsigned(cds->dwData), unsigned(cds->cbData));
        return 7;
    }
    afx_msg BOOL OnEraseBkgnd(CDC* pDC) {
        log = Fmt(L"OnEraseBkgnd %d", pDC != nullptr);
        return 5;
    }
    afx_msg LRESULT OnNcHitTest(CPoint p) {
        log = Fmt(L"OnNcHitTest %d %d", p.x, p.y);
        return HTCAPTION;
    }
    afx_msg LRESULT OnLookup(WPARAM w, LPARAM l) {
        log = Fmt(L"OnLookup %u %d", unsigned(w), int(l));
        return 99;
    }
    afx_msg void OnItem() { log = L"OnItem"; }
    afx_msg void OnClicked() { log = L"OnClicked"; }
    afx_msg void OnEditChange() { log = L"OnEditChange"; }
    afx_msg void OnComboChange() { log = L"OnComboChange"; }
    afx_msg void OnTabChange(NMHDR* hdr, LRESULT* result) {
        log = Fmt(L"OnTabChange %u", unsigned(hdr->idFrom));
        *result = 3;
    }
    afx_msg void OnRange(UINT id) { log = Fmt(L"OnRange %u", id); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Recorder, BaseRecorder)
    ON_WM_TIMER()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEWHEEL()
    ON_WM_KEYDOWN()
    ON_WM_HOTKEY()
    ON_WM_SETCURSOR()
    ON_WM_COPYDATA()
    ON_WM_ERASEBKGND()
    ON_WM_NCHITTEST()
    ON_MESSAGE(2028, OnLookup)
    ON_COMMAND(500, OnItem)
    ON_BN_CLICKED(501, OnClicked)
    ON_EN_CHANGE(502, OnEditChange)
    ON_CBN_SELCHANGE(503, OnComboChange)
    ON_NOTIFY(TCN_SELCHANGE, 504, OnTabChange)
    ON_COMMAND_RANGE(600, 610, OnRange)
END_MESSAGE_MAP()

class MessageMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"rec", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
        ASSERT_TRUE(ctl.CreateEx(0, L"BUTTON", L"b", WS_CHILD, 0, 0, 10, 10, wnd, nullptr));
    }
    void TearDown() override { wnd.DestroyWindow(); }
    Recorder wnd;
    CWnd ctl;
};

TEST_F(MessageMapTest, EachMessageReachesItsHandlerWithDecodedArguments) {
    COPYDATASTRUCT cds = {2027, 532, nullptr};
    NMHDR tabChange = {nullptr, 504, UINT(TCN_SELCHANGE)};
    HWND control = ctl.m_hWnd;
    struct Case {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        std::wstring handler;
        LRESULT result;
    } cases[] = {
        {WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(120, 80), L"OnSize 2 120 80", 0},
        {WM_MOVE, 0, MAKELPARAM(-20, 30), L"Base.OnMove -20 30", 0},
        {WM_TIMER, 17, 0, L"OnTimer 17", 0},  // the derived handler hides the base's
        {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, 7), L"OnLButtonDown 1 -5 7", 0},
        {WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, -120), MAKELPARAM(300, -2), L"OnMouseWheel 4 -120 300 -2", TRUE},
        {WM_KEYDOWN, VK_F5, MAKELPARAM(3, 0x3F), L"OnKeyDown 116 3 63", 0},
        {WM_HOTKEY, 9, MAKELPARAM(MOD_CONTROL, 'Q'), L"OnHotKey 9 2 81", 0},
        {WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), L"OnSetCursor 0 1 512", TRUE},
        {WM_COPYDATA, 0, LPARAM(&cds), L"OnCopyData 2027 532", 7},
        {WM_NCHITTEST, 0, MAKELPARAM(-1, 65535), L"OnNcHitTest -1 -1", HTCAPTION},
        {2028, 12, -3, L"OnLookup 12 -3", 99},
        {WM_COMMAND, MAKEWPARAM(500, 0), 0, L"OnItem", 0},           // menu
        {WM_COMMAND, MAKEWPARAM(500, 1), 0, L"OnItem", 0},           // accelerator
        {WM_COMMAND, MAKEWPARAM(501, BN_CLICKED), LPARAM(control), L"OnClicked", 0},
        {WM_COMMAND, MAKEWPARAM(502, EN_CHANGE), LPARAM(control), L"OnEditChange", 0},
        {WM_COMMAND, MAKEWPARAM(503, CBN_SELCHANGE), LPARAM(control), L"OnComboChange", 0},
        // An accelerator with a control's id is not that control's notification.
        {WM_COMMAND, MAKEWPARAM(503, 1), 0, L"", 0},
        {WM_COMMAND, MAKEWPARAM(502, EN_SETFOCUS), LPARAM(control), L"", 0},
        {WM_COMMAND, MAKEWPARAM(605, 0), 0, L"OnRange 605", 0},
        {WM_NOTIFY, 504, LPARAM(&tabChange), L"OnTabChange 504", 3},
    };
    for (const Case& c : cases) {
        wnd.log.clear();
        LRESULT result = wnd.SendMessage(c.msg, c.wParam, c.lParam);
        EXPECT_EQ(c.handler, wnd.log) << "message " << c.msg;
        if (!c.handler.empty()) {
            EXPECT_EQ(c.result, result) << "message " << c.msg;
        }
    }
}

TEST_F(MessageMapTest, SetCursorNamesTheWindowObject) {
    wnd.SendMessage(WM_SETCURSOR, WPARAM(wnd.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(L"OnSetCursor 1 1 512", wnd.log);
}

TEST_F(MessageMapTest, UnmappedMessagesGetTheDefaultHandling) {
    wnd.SetWindowText(L"abc");
    EXPECT_EQ(3, wnd.SendMessage(WM_GETTEXTLENGTH));
    EXPECT_TRUE(wnd.log.empty());
}

// ---- Reflection ---------------------------------------------------------------

class ColoredButton : public CButton {
public:
    CBrush brush{RGB(1, 2, 3)};
    bool giveBrush = true;
    UINT lastCtlColor = 99;
    int drawn = 0;
    void DrawItem(LPDRAWITEMSTRUCT dis) override {
        ++drawn;
        lastItemState = dis->itemState;
    }
    UINT lastItemState = 0;

protected:
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor) {
        lastCtlColor = nCtlColor;
        if (!giveBrush) return nullptr;
        pDC->SetBkMode(TRANSPARENT);
        return brush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ColoredButton, CButton)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class MeasuredCombo : public CComboBox {
public:
    UINT measuredId = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
        measuredId = mis->CtlID;
        mis->itemHeight = 21;
    }
};

TEST(Reflection, CtlColorGoesToTheControlFirst) {
    HostWnd host;
    ASSERT_TRUE(host.CreateHost());
    ColoredButton button;
    ASSERT_TRUE(button.Create(L"x", WS_VISIBLE | BS_PUSHBUTTON, CRect(5, 5, 60, 30), &host, 11));
    CClientDC dc(&host);
    LRESULT brush = host.SendMessage(WM_CTLCOLORBTN, WPARAM(dc.m_hDC), LPARAM(button.m_hWnd));
    EXPECT_EQ(LRESULT(HBRUSH(button.brush)), brush);
    EXPECT_EQ(UINT(CTLCOLOR_BTN), button.lastCtlColor);
    EXPECT_EQ(TRANSPARENT, ::GetBkMode(dc));

    // A control that gives no brush leaves the parent's default.
    button.giveBrush = false;
    brush = host.SendMessage(WM_CTLCOLORSTATIC, WPARAM(dc.m_hDC), LPARAM(button.m_hWnd));
    EXPECT_NE(LRESULT(HBRUSH(button.brush)), brush);
    EXPECT_EQ(UINT(CTLCOLOR_STATIC), button.lastCtlColor);
    host.DestroyWindow();
}

TEST(Reflection, OwnerDrawnButtonPaintsThroughDrawItem) {
    HostWnd host;
    ASSERT_TRUE(host.CreateShownHost(200, 100));
    ColoredButton button;
    ASSERT_TRUE(button.Create(L"x", WS_VISIBLE | BS_OWNERDRAW, CRect(5, 5, 60, 30), &host, 12));
    button.UpdateWindow();
    PumpFor(50);
    EXPECT_GE(button.drawn, 1);  // the system's WM_DRAWITEM, sent to the parent

    button.drawn = 0;
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = 12;
    dis.hwndItem = button.m_hWnd;
    dis.itemState = ODS_SELECTED;
    EXPECT_EQ(TRUE, host.SendMessage(WM_DRAWITEM, 12, LPARAM(&dis)));
    EXPECT_EQ(1, button.drawn);
    EXPECT_EQ(UINT(ODS_SELECTED), button.lastItemState);
    host.DestroyWindow();
}

TEST(Reflection, MeasureItemGoesToTheComboByItsId) {
    HostWnd host;
    ASSERT_TRUE(host.CreateHost());
    MeasuredCombo combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                             CRect(5, 5, 100, 100), &host, 13));
    MEASUREITEMSTRUCT mis = {};
    mis.CtlType = ODT_COMBOBOX;
    mis.CtlID = 13;
    host.SendMessage(WM_MEASUREITEM, 13, LPARAM(&mis));
    EXPECT_EQ(13u, combo.measuredId);
    EXPECT_EQ(21u, mis.itemHeight);
    host.DestroyWindow();
}

// ---- The PreTranslateMessage chain ---------------------------------------------

struct ChainLog {
    std::vector<std::wstring> calls;
};

class ChainWnd : public CWnd {
public:
    ChainWnd(ChainLog& log, const wchar_t* name) : m_log(log), m_name(name) {}
    bool consume = false;
    int keys = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_KEYDOWN) m_log.calls.push_back(m_name);
        return consume;
    }

protected:
    afx_msg void OnKeyDown(UINT, UINT, UINT) { ++keys; }
    DECLARE_MESSAGE_MAP()

private:
    ChainLog& m_log;
    std::wstring m_name;
};

BEGIN_MESSAGE_MAP(ChainWnd, CWnd)
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

TEST(PreTranslateChain, RunsFromTheTargetUpThroughItsParents) {
    ChainLog log;
    ChainWnd top(log, L"top"), middle(log, L"middle"), inner(log, L"inner");
    ASSERT_TRUE(top.CreateEx(0, nullptr, L"top", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr));
    ASSERT_TRUE(middle.Create(nullptr, L"middle", WS_VISIBLE, CRect(0, 0, 150, 150), &top, 1));
    ASSERT_TRUE(inner.Create(nullptr, L"inner", WS_VISIBLE, CRect(0, 0, 50, 50), &middle, 2));
    CWnd unowned;  // a window no object owns is skipped
    ASSERT_TRUE(unowned.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 10, 10), &inner, 3));
    HWND hUnowned = unowned.UnsubclassWindow();

    ::PostMessageW(hUnowned, WM_KEYDOWN, 'A', 0);
    PumpPending();
    EXPECT_EQ((std::vector<std::wstring>{L"inner", L"middle", L"top"}), log.calls);

    // A window that consumes the message ends the chain and the dispatch.
    log.calls.clear();
    middle.consume = true;
    inner.PostMessage(WM_KEYDOWN, 'B', 0);
    PumpPending();
    EXPECT_EQ((std::vector<std::wstring>{L"inner", L"middle"}), log.calls);
    EXPECT_EQ(0, inner.keys);

    middle.consume = false;
    inner.PostMessage(WM_KEYDOWN, 'C', 0);
    PumpPending();
    EXPECT_EQ(1, inner.keys);
    top.DestroyWindow();
}

// ---- The handle map ---------------------------------------------------------------

class Counted : public CWnd {
public:
    explicit Counted(int& deaths) : m_deaths(deaths) {}
    ~Counted() override { ++m_deaths; }
    int& m_deaths;
    int postNcDestroy = 0;
    void PostNcDestroy() override { ++postNcDestroy; }
};

TEST(HandleMap, ForgetsADestroyedWindow) {
    int deaths = 0;
    Counted wnd(deaths);
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"w", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    HWND hWnd = wnd.m_hWnd;
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(hWnd));
    EXPECT_EQ(&wnd, CWnd::FromHandle(hWnd));
    ASSERT_TRUE(::DestroyWindow(hWnd));
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    EXPECT_EQ(1, wnd.postNcDestroy);
    EXPECT_EQ(0, deaths);  // a plain window does not delete itself
}

TEST(HandleMap, TemporaryWrappersAreNotOwnersAndGoAtIdle) {
    HWND hWnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hWnd);
    CWnd* temp = CWnd::FromHandle(hWnd);
    ASSERT_NE(nullptr, temp);
    EXPECT_EQ(hWnd, temp->m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    EXPECT_EQ(temp, CWnd::FromHandle(hWnd));  // the same wrapper until idle
    AfxDeleteTempMaps();
    EXPECT_TRUE(::IsWindow(hWnd));  // deleting the wrapper left the window alone
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
    ::DestroyWindow(hWnd);
}

TEST(HandleMap, AttachDetachAndSubclassing) {
    HostWnd host;
    ASSERT_TRUE(host.CreateHost());
    HWND hEdit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 50, 20, host, nullptr, nullptr, nullptr);
    CWnd first, second;
    EXPECT_TRUE(first.SubclassWindow(hEdit));
    EXPECT_FALSE(second.SubclassWindow(hEdit));  // one owner per window
    first.SetWindowText(L"still an edit");      // the edit's own procedure still runs
    CString text;
    first.GetWindowText(text);
    EXPECT_EQ(L"still an edit", text);
    EXPECT_EQ(hEdit, first.UnsubclassWindow());
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hEdit));
    EXPECT_TRUE(second.Attach(hEdit));
    EXPECT_EQ(hEdit, second.Detach());
    host.DestroyWindow();
    EXPECT_FALSE(::IsWindow(hEdit));
}

TEST(HandleMap, ObjectDestroysItsWindow) {
    HWND hWnd;
    {
        CWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"w", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        hWnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

// A window whose WM_CREATE fails: no handle stays in the map.
class FailingCreate : public CWnd {
public:
    int creates = 0;

protected:
    afx_msg int OnCreate(LPCREATESTRUCTW) {
        ++creates;
        return -1;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FailingCreate, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

TEST(HandleMap, FailedCreationLeavesNoEntry) {
    FailingCreate wnd;
    EXPECT_FALSE(wnd.CreateEx(0, nullptr, L"w", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(1, wnd.creates);  // WM_CREATE reached the object
    EXPECT_EQ(nullptr, wnd.m_hWnd);
}

}  // namespace
