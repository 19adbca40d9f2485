// Frames and menus: LoadFrame's resources, accelerators, self-deletion,
// owner-drawn menu items; and a sample window rendered to an image.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "platform/framework/tests/FxTestRes.h"
#include "platform/framework/tests/TestWindows.h"

namespace {

class TestFrame : public CFrameWnd {
public:
    explicit TestFrame(bool* deleted = nullptr) : m_deleted(deleted) {}
    ~TestFrame() override {
        if (m_deleted) *m_deleted = true;
    }
    std::vector<UINT> commands;

protected:
    afx_msg void OnF2() { commands.push_back(ID_TEST_F2); }
    afx_msg void OnCtrlA() { commands.push_back(ID_TEST_CTRL_A); }
    DECLARE_MESSAGE_MAP()

private:
    bool* m_deleted;
};

BEGIN_MESSAGE_MAP(TestFrame, CFrameWnd)
    ON_COMMAND(ID_TEST_F2, OnF2)
    ON_COMMAND(ID_TEST_CTRL_A, OnCtrlA)
END_MESSAGE_MAP()

TEST(Frame, LoadFrameTakesMenuTitleAndAccelerators) {
    bool deleted = false;
    TestFrame* frame = new TestFrame(&deleted);
    ASSERT_TRUE(frame->LoadFrame(IDR_TEST_FRAME));
    CString title;
    frame->GetWindowText(title);
    EXPECT_EQ(L"Framework Test", title);  // the string up to its first line break
    ASSERT_NE(nullptr, frame->GetMenu());
    CString item;
    frame->GetMenu()->GetSubMenu(0)->GetMenuString(ID_TEST_ITEM, item, MF_BYCOMMAND);
    EXPECT_EQ(L"&Item", item);
    EXPECT_NE(nullptr, frame->m_hAccelTable);
    EXPECT_TRUE(frame->GetExStyle() & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(frame->GetStyle() & FWS_ADDTOTITLE);
    frame->DestroyWindow();
    EXPECT_TRUE(deleted);
}

TEST(Frame, MenuTakenOffTheFrameIsDestroyedWithIt) {
    TestFrame* frame = new TestFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_TEST_FRAME));
    HMENU hMenu = ::GetMenu(*frame);
    ASSERT_TRUE(::IsMenu(hMenu));
    frame->SetMenu(nullptr);  // the program shows no menu bar
    frame->DestroyWindow();
    EXPECT_FALSE(::IsMenu(hMenu));
}

TEST(Frame, AcceleratorsTranslateKeysOfTheFrameAndItsChildren) {
    TestFrame* frame = new TestFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_TEST_FRAME));
    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 20, 20), frame, 7));
    frame->PostMessage(WM_KEYDOWN, VK_F2, 1);
    child.PostMessage(WM_KEYDOWN, VK_F2, 1);
    child.PostMessage(WM_KEYDOWN, VK_F3, 1);  // no accelerator
    PumpPending();
    EXPECT_EQ((std::vector<UINT>{ID_TEST_F2, ID_TEST_F2}), frame->commands);
    frame->DestroyWindow();
}

TEST(Frame, HeapFrameDeletesItselfWhenClosed) {
    bool deleted = false;
    TestFrame* frame = new TestFrame(&deleted);
    ASSERT_TRUE(frame->CreateEx(0, nullptr, L"f", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
    HWND hWnd = frame->m_hWnd;
    ::SendMessageW(hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

// ---- Owner-drawn menus --------------------------------------------------------

class OwnerMenu : public CMenu {
public:
    std::vector<UINT> measured, drawn;
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
        measured.push_back(mis->itemID);
        mis->itemWidth = 80;
        mis->itemHeight = 20;
    }
    void DrawItem(LPDRAWITEMSTRUCT dis) override {
        drawn.push_back(dis->itemID);
        CDC* dc = CDC::FromHandle(dis->hDC);
        dc->FillSolidRect(&dis->rcItem, RGB(200, 220, 255));
    }
};

TEST(OwnerDrawnMenu, DirectMessagesFindTheMenuByHandleAndItem) {
    HostWnd host;
    ASSERT_TRUE(host.CreateHost());
    OwnerMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    CMenu sub;  // a plain submenu belongs to the owner-drawn menu above it
    ASSERT_TRUE(sub.CreatePopupMenu());
    sub.AppendMenu(MF_OWNERDRAW, 402);
    menu.AppendMenu(MF_OWNERDRAW, 401);
    menu.AppendMenu(MF_POPUP, UINT_PTR(sub.Detach()), L"sub");
    HMENU hSub = ::GetSubMenu(menu, 1);

    host.SendMessage(WM_INITMENUPOPUP, WPARAM(menu.m_hMenu), 0);
    MEASUREITEMSTRUCT mis = {ODT_MENU, 0, 402, 0, 0, 0};
    host.SendMessage(WM_MEASUREITEM, 0, LPARAM(&mis));
    EXPECT_EQ((std::vector<UINT>{402}), menu.measured);
    EXPECT_EQ(20u, mis.itemHeight);

    CClientDC dc(&host);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.itemID = 402;
    dis.hwndItem = reinterpret_cast<HWND>(hSub);
    dis.hDC = dc;
    dis.rcItem = CRect(0, 0, 80, 20);
    host.SendMessage(WM_DRAWITEM, 0, LPARAM(&dis));
    dis.itemID = 401;
    dis.hwndItem = reinterpret_cast<HWND>(menu.m_hMenu);
    host.SendMessage(WM_DRAWITEM, 0, LPARAM(&dis));
    EXPECT_EQ((std::vector<UINT>{402, 401}), menu.drawn);
    host.DestroyWindow();
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) { ::EndMenu(); }

TEST(OwnerDrawnMenu, TrackedMenuIsMeasuredAndDrawn) {
    HostWnd host;
    ASSERT_TRUE(host.CreateShownHost(300, 200));
    OwnerMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_OWNERDRAW, 501);
    menu.AppendMenu(MF_OWNERDRAW, 502);
    // The menu closes itself once it has had time to paint.
    ::SetTimer(host, 1, 300, CloseMenu);
    CRect r;
    host.GetWindowRect(&r);
    menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, r.left + 20, r.top + 40, &host);
    ::KillTimer(host, 1);
    EXPECT_EQ((std::vector<UINT>{501, 502}), menu.measured);
    EXPECT_FALSE(menu.drawn.empty());
    host.DestroyWindow();
}

// ---- A sample window, rendered to an image ------------------------------------

class SampleWnd : public CWnd {
protected:
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        for (int y = 0; y < client.Height(); y += 4)
            dc.FillSolidRect(0, y, client.Width(), 4, RGB(230 - y / 4, 236 - y / 6, 250));
        CFont font;
        font.CreatePointFont(140, L"Tahoma", &dc);
        CFont* old = dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(20, 40, 120));
        CRect text(16, 12, client.right - 16, 40);
        dc.DrawText(L"Quorfx sample window", &text, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
        dc.SelectObject(old);
        CPen pen(PS_SOLID, 2, RGB(40, 90, 200));
        CPen* oldPen = dc.SelectObject(&pen);
        dc.MoveTo(16, 44);
        dc.LineTo(client.right - 16, 44);
        dc.SelectObject(oldPen);
        CBrush brush(RGB(255, 200, 80));
        CRect box(16, 56, 120, 110);
        dc.FillRect(&box, &brush);
        dc.Draw3dRect(&box, RGB(255, 255, 255), RGB(120, 80, 0));
        CRect bar(200, 56, 206, client.bottom - 10);
        dc.DrawDragRect(&bar, CSize(6, 6), nullptr, CSize(0, 0));  // a splitter tracker
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SampleWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

bool SaveBitmap(CDC& dc, CBitmap& bitmap, int width, int height, const std::wstring& path) {
    BITMAPINFOHEADER bih = {sizeof(bih), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    int stride = (width * 3 + 3) & ~3;
    std::vector<BYTE> pixels(size_t(stride) * height);
    if (!::GetDIBits(dc, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS))
        return false;
    BITMAPFILEHEADER bfh = {};
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof(bfh) + sizeof(bih);
    bfh.bfSize = DWORD(bfh.bfOffBits + pixels.size());
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    fwrite(&bfh, sizeof(bfh), 1, f);
    fwrite(&bih, sizeof(bih), 1, f);
    fwrite(pixels.data(), 1, pixels.size(), f);
    fclose(f);
    return true;
}

TEST(Sample, RenderedWindowIsSavedAsAnImage) {
    SampleWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"Quorfx sample", WS_POPUP | WS_BORDER, 40, 40, 320, 180, nullptr,
                             nullptr));
    wnd.ShowWindow(SW_SHOWNA);
    CButton button;
    ASSERT_TRUE(button.Create(L"Button", WS_VISIBLE | BS_PUSHBUTTON, CRect(16, 120, 110, 146), &wnd, 1));
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(220, 60, 300, 82), &wnd, 2));
    edit.SetWindowText(L"edit");
    wnd.UpdateWindow();
    PumpFor(200);

    // Copied through a memory context the way a program would.
    CRect r;
    wnd.GetWindowRect(&r);
    CWindowDC windowDC(&wnd);
    CDC memDC;
    ASSERT_TRUE(memDC.CreateCompatibleDC(&windowDC));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&windowDC, r.Width(), r.Height()));
    CBitmap* old = memDC.SelectObject(&bitmap);
    ASSERT_TRUE(memDC.BitBlt(0, 0, r.Width(), r.Height(), &windowDC, 0, 0, SRCCOPY));
    memDC.SelectObject(old);

    // Beside the built program folder, never in it.
    wchar_t exe[MAX_PATH];
    std::wstring folder(exe, ::GetModuleFileNameW(nullptr, exe, MAX_PATH));
    folder = folder.substr(0, folder.rfind(L'\\')) + L"\\..\\test-output";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring path = folder + L"\\framework-sample.bmp";
    ASSERT_TRUE(SaveBitmap(memDC, bitmap, r.Width(), r.Height(), path));
    printf("sample window image: %ls\n", path.c_str());

    // The painting is really there: the orange box of OnPaint.
    memDC.SelectObject(&bitmap);
    EXPECT_EQ(RGB(255, 200, 80), memDC.GetPixel(1 + 60, 1 + 80));
    memDC.SelectObject(old);
    wnd.DestroyWindow();
}

}  // namespace
