// Strings, geometry, runtime classes, GDI helpers and the resource chain.
#include <gtest/gtest.h>

#include "platform/framework/tests/FxTestRes.h"
#include "platform/framework/tests/TestWindows.h"

#include <ocidl.h>
#include <olectl.h>

namespace {

TEST(CStringTest, EditingMembers) {
    CString s(L"  Hello World  ");
    s.Trim();
    EXPECT_EQ(L"Hello World", s);
    EXPECT_EQ(6, s.Find(L"World"));
    EXPECT_EQ(-1, s.Find(L'z'));
    EXPECT_EQ(-1, s.Find(L'o', 50));
    EXPECT_EQ(7, s.ReverseFind(L'o'));
    EXPECT_EQ(L"Hello", s.Left(5));
    EXPECT_EQ(L"World", s.Mid(6));
    EXPECT_EQ(L"Wo", s.Mid(6, 2));
    EXPECT_EQ(L"", s.Mid(60, 2));
    EXPECT_EQ(L"ld", s.Right(2));
    EXPECT_EQ(s, s.Right(100));
    EXPECT_EQ(2, s.Replace(L"o", L"oo"));
    EXPECT_EQ(L"Helloo Woorld", s);
    EXPECT_EQ(4, s.Remove(L'o'));
    EXPECT_EQ(L"HELL WRLD", s.MakeUpper());
    EXPECT_EQ(L"hell wrld", s.MakeLower());
    EXPECT_EQ(0, CString(L"abc").CompareNoCase(L"ABC"));
    EXPECT_TRUE(CString(L"xxabcxx").Trim(L"x") == L"abc");

    wchar_t* buffer = s.GetBuffer(20);
    wcscpy(buffer, L"raw");
    s.ReleaseBuffer();
    EXPECT_EQ(3, s.GetLength());
}

TEST(CStringTest, FormatAndResources) {
    CString s;
    EXPECT_TRUE(s.Format(L"%s=%d", L"n", 42));
    EXPECT_EQ(L"n=42", s);
    s.AppendFormat(L"/%.2x", 10);
    EXPECT_EQ(L"n=42/0a", s);
    EXPECT_TRUE(s.LoadString(IDS_TEST_HELLO));
    EXPECT_EQ(L"Hello, %s!", s);
    EXPECT_FALSE(s.LoadString(4321));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(Geometry, RectArithmetic) {
    CRect r(10, 20, 110, 70);
    EXPECT_EQ(100, r.Width());
    EXPECT_EQ(50, r.Height());
    EXPECT_EQ(CPoint(60, 45), r.CenterPoint());
    r.DeflateRect(5, 5);
    EXPECT_EQ(CRect(15, 25, 105, 65), r);
    r.OffsetRect(-15, -25);
    EXPECT_EQ(CRect(0, 0, 90, 40), r);
    EXPECT_TRUE(r.PtInRect(CPoint(0, 0)));
    EXPECT_FALSE(r.PtInRect(CPoint(90, 0)));
    EXPECT_EQ(CPoint(-3, 4), CPoint(MAKELPARAM(-3, 4)));
}

// A class of the program, derived from one of the framework's.
class ProgramView : public CWnd {
    DECLARE_DYNCREATE(ProgramView)
};
IMPLEMENT_DYNCREATE(ProgramView, CWnd)

TEST(RuntimeClass, ProgramClassesChainToTheFrameworksClasses) {
    CObject* object = RUNTIME_CLASS(ProgramView)->CreateObject();
    ASSERT_NE(nullptr, object);
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_FALSE(object->IsKindOf(RUNTIME_CLASS(CFrameWnd)));
    EXPECT_STREQ("ProgramView", object->GetRuntimeClass()->m_lpszClassName);
    EXPECT_EQ(RUNTIME_CLASS(CWnd), RUNTIME_CLASS(ProgramView)->m_pBaseClass);
    delete object;
}

TEST(RuntimeClass, KindAndCreation) {
    CFrameWnd* frame = static_cast<CFrameWnd*>(RUNTIME_CLASS(CFrameWnd)->CreateObject());
    ASSERT_NE(nullptr, frame);
    EXPECT_TRUE(frame->IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(frame->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(frame->IsKindOf(RUNTIME_CLASS(CDialog)));
    EXPECT_STREQ("CFrameWnd", frame->GetRuntimeClass()->m_lpszClassName);
    delete frame;
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CDialog)->CreateObject());  // not creatable
}

TEST(Gdi, DragRectInvertsAFrameAndErasesThePreviousOne) {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    CClientDC screen(nullptr);
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 40, 40));
    CBitmap* old = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, 40, 40, RGB(255, 255, 255));
    CBrush white(RGB(255, 255, 255));  // a solid brush: every pixel is inverted

    // A border as thick as the rectangle inverts all of it.
    CRect bar(10, 0, 14, 40);
    dc.DrawDragRect(&bar, CSize(4, 4), nullptr, CSize(0, 0), &white);
    EXPECT_EQ(RGB(0, 0, 0), dc.GetPixel(12, 20));
    EXPECT_EQ(RGB(255, 255, 255), dc.GetPixel(9, 20));
    // Moving: the last rectangle is restored, the new one inverted.
    CRect moved(20, 0, 24, 40);
    dc.DrawDragRect(&moved, CSize(4, 4), &bar, CSize(4, 4), &white);
    EXPECT_EQ(RGB(255, 255, 255), dc.GetPixel(12, 20));
    EXPECT_EQ(RGB(0, 0, 0), dc.GetPixel(22, 20));
    // A thin border leaves the inside alone.
    CRect frame(0, 0, 40, 40);
    dc.DrawDragRect(&frame, CSize(2, 2), &moved, CSize(4, 4), &white);
    EXPECT_EQ(RGB(0, 0, 0), dc.GetPixel(1, 20));
    EXPECT_EQ(RGB(255, 255, 255), dc.GetPixel(22, 20));
    dc.SelectObject(old);
}

TEST(Gdi, PointFontHasTheRequestedHeight) {
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, L"Tahoma"));
    LOGFONTW lf;
    ASSERT_TRUE(font.GetLogFont(&lf));
    CClientDC screen(nullptr);
    EXPECT_EQ(-::MulDiv(90, screen.GetDeviceCaps(LOGPIXELSY), 720), lf.lfHeight);
    EXPECT_STREQ(L"Tahoma", lf.lfFaceName);
}

TEST(Resources, SplitterCursorsComeFromTheFramework) {
    for (UINT id : {AFX_IDC_HSPLITBAR, AFX_IDC_VSPLITBAR}) {
        HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCEW(id), RT_GROUP_CURSOR);
        ASSERT_NE(nullptr, hInst) << id;
        EXPECT_NE(::GetModuleHandleW(nullptr), hInst);
        EXPECT_NE(nullptr, ::LoadCursorW(hInst, MAKEINTRESOURCEW(id)));
    }
    // The program's resources come first.
    EXPECT_EQ(::GetModuleHandleW(nullptr), AfxFindResourceHandle(MAKEINTRESOURCEW(IDD_TEST_PANE), RT_DIALOG));
    EXPECT_EQ(nullptr, AfxFindResourceHandle(MAKEINTRESOURCEW(4242), RT_DIALOG));
}

TEST(Resources, RegisteredWindowClassesAreSharedPerLook) {
    HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    LPCWSTR a = AfxRegisterWndClass(CS_DBLCLKS, arrow);
    LPCWSTR b = AfxRegisterWndClass(CS_DBLCLKS, arrow);
    LPCWSTR c = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW, arrow);
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(a, b);
    EXPECT_STRNE(a, c);
    WNDCLASSW wc;
    EXPECT_TRUE(::GetClassInfoW(AfxGetInstanceHandle(), c, &wc));
    EXPECT_EQ(UINT(CS_DBLCLKS | CS_HREDRAW), wc.style);
}

TEST(Controls, ThinWrappersTalkToTheirControls) {
    HostWnd host;
    ASSERT_TRUE(host.CreateHost());
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST, CRect(0, 0, 100, 100), &host, 1));
    combo.AddString(L"one");
    combo.AddString(L"two");
    combo.SetCurSel(1);
    CString text;
    combo.GetLBText(combo.GetCurSel(), text);
    EXPECT_EQ(L"two", text);
    CSliderCtrl slider;
    ASSERT_TRUE(slider.Create(WS_VISIBLE, CRect(0, 30, 100, 50), &host, 2));
    slider.SetRange(0, 50);
    slider.SetPos(20);
    EXPECT_EQ(20, slider.GetPos());
    CSpinButtonCtrl spin;
    ASSERT_TRUE(spin.Create(WS_VISIBLE, CRect(0, 60, 20, 80), &host, 3));
    spin.SetRange32(0, 10);
    spin.SetPos(4);
    EXPECT_EQ(4, LOWORD(spin.GetPos()));
    CHotKeyCtrl hotKey;
    ASSERT_TRUE(hotKey.Create(WS_VISIBLE, CRect(0, 90, 100, 110), &host, 4));
    hotKey.SetHotKey('K', HOTKEYF_CONTROL);
    WORD vk, mods;
    hotKey.GetHotKey(vk, mods);
    EXPECT_EQ('K', vk);
    EXPECT_EQ(HOTKEYF_CONTROL, mods);
    CTabCtrl tabs;
    ASSERT_TRUE(tabs.Create(WS_VISIBLE, CRect(100, 0, 300, 100), &host, 5));
    tabs.InsertItem(0, L"a");
    tabs.InsertItem(1, L"b");
    EXPECT_EQ(2, tabs.GetItemCount());
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&host, TTS_ALWAYSTIP));
    EXPECT_TRUE(tip.AddTool(&tabs, L"tabs", nullptr, 1));
    EXPECT_EQ(1, tip.GetToolCount());
    TOOLINFOW ti;
    EXPECT_TRUE(tip.GetToolInfo(ti, &tabs, 1));
    EXPECT_FALSE(tip.GetToolInfo(ti, &tabs, 2));
    tip.UpdateTipText(L"tab pages", &tabs, 1);
    wchar_t tipText[32] = {};
    ti = TOOLINFOW{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = tabs;
    ti.uId = 1;
    ti.lpszText = tipText;
    tip.SendMessage(TTM_GETTEXTW, 32, LPARAM(&ti));
    EXPECT_STREQ(L"tab pages", tipText);
    host.DestroyWindow();
}

}  // namespace

namespace {

// A source with one connection point that, like a real one, holds a
// reference on each connected sink.
class FakeSource : public IConnectionPointContainer, public IConnectionPoint {
public:
    IUnknown* sink = nullptr;
    IID iid = IID_IDispatch;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IConnectionPointContainer) {
            *ppv = static_cast<IConnectionPointContainer*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override {
        *ppCP = riid == iid ? static_cast<IConnectionPoint*>(this) : nullptr;
        return *ppCP ? S_OK : CONNECT_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override {
        sink = pUnkSink;
        sink->AddRef();
        *pdwCookie = 77;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwCookie) override {
        if (dwCookie != 77 || !sink) return CONNECT_E_NOCONNECTION;
        sink->Release();
        sink = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
};

class CountedSink : public IUnknown {
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
        *ppv = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

TEST(Connections, AdviseWithoutReferenceLeavesTheSinksCount) {
    FakeSource source;
    CountedSink sink;
    DWORD cookie = 0;
    ASSERT_TRUE(AfxConnectionAdvise(static_cast<IConnectionPointContainer*>(&source), IID_IDispatch, &sink, FALSE,
                                    &cookie));
    EXPECT_EQ(77u, cookie);
    EXPECT_EQ(1u, sink.refs);
    EXPECT_TRUE(AfxConnectionUnadvise(static_cast<IConnectionPointContainer*>(&source), IID_IDispatch, &sink, FALSE,
                                      cookie));
    EXPECT_EQ(1u, sink.refs);
    EXPECT_EQ(nullptr, source.sink);

    ASSERT_TRUE(AfxConnectionAdvise(static_cast<IConnectionPointContainer*>(&source), IID_IDispatch, &sink, TRUE,
                                    &cookie));
    EXPECT_EQ(2u, sink.refs);
    EXPECT_TRUE(AfxConnectionUnadvise(static_cast<IConnectionPointContainer*>(&source), IID_IDispatch, &sink, TRUE,
                                      cookie));
    EXPECT_EQ(1u, sink.refs);

    // No such connection point, or a wrong cookie: failure, counts unchanged.
    EXPECT_FALSE(AfxConnectionAdvise(static_cast<IConnectionPointContainer*>(&source), IID_IUnknown, &sink, FALSE,
                                     &cookie));
    EXPECT_FALSE(AfxConnectionUnadvise(static_cast<IConnectionPointContainer*>(&source), IID_IDispatch, &sink, FALSE,
                                       12));
    EXPECT_EQ(1u, sink.refs);
}

}  // namespace
