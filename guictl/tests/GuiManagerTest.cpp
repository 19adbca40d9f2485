// The library object: reference counting, the skin folder, window classes,
// tooltips, background requests and the icon-and-text layout.
#include "guictl/GImageButton.h"
#include "guictl/tests/ControlTestKit.h"

#include <string>

namespace {

using namespace kestrel_test;

TEST(KestrelInitialize, CountsReferencesAndKeepsTheFirstFolder) {
  ASSERT_EQ(nullptr, Kestrel_GetManager());
  Kestrel_UnInitialize();  // without an instance: nothing
  EXPECT_EQ(nullptr, Kestrel_GetManager());

  ASSERT_EQ(1, Kestrel_Initialize(L"C:\\first\\"));
  CGuiManager* gm = Kestrel_GetManager();
  ASSERT_NE(nullptr, gm);
  ASSERT_EQ(1, Kestrel_Initialize(L"C:\\second\\"));
  EXPECT_EQ(gm, Kestrel_GetManager());
  EXPECT_STREQ(L"C:\\first\\", gm->GetSkinFolder());
  EXPECT_EQ(2, gm->m_nRefCount);

  Kestrel_UnInitialize();
  ASSERT_EQ(gm, Kestrel_GetManager());
  Kestrel_UnInitialize();
  EXPECT_EQ(nullptr, Kestrel_GetManager());
}

TEST(KestrelInitialize, DefaultFolderIsBesideTheLibraryAndTheLinkCursorLoads) {
  ASSERT_EQ(1, Kestrel_Initialize(nullptr));
  CGuiManager* gm = Kestrel_GetManager();
  wchar_t path[2048];
  ASSERT_GT(::GetModuleFileNameW(::GetModuleHandleW(L"Kestrelu.dll"), path, 2048), 0u);
  std::wstring expected(path);
  expected = expected.substr(0, expected.rfind(L'\\') + 1) + L"kestrel\\";
  EXPECT_STREQ(expected.c_str(), gm->GetSkinFolder());
  EXPECT_EQ(::GetModuleHandleW(L"Kestrelu.dll"), gm->GetInstance());
  EXPECT_NE(nullptr, gm->m_hLinkCursor);
  Kestrel_UnInitialize();
}

TEST(KestrelInitialize, SkinFolderFromModulePath) {
  struct Case {
    const wchar_t* path;
    const wchar_t* folder;
  } cases[] = {
      {L"C:\\app\\Kestrelu.dll", L"C:\\app\\kestrel\\"},
      {L"C:\\Kestrelu.dll", L"C:\\kestrel\\"},
      {L"C:", L"C:\\kestrel\\"},
      {L"Kestrelu.dll", L"kestrel\\"},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(c.folder, CGuiManager::SkinFolderFromModulePath(c.path)) << c.path;
}

class ManagerTest : public ControlTest {
 protected:
  CGuiManager* gm() { return Kestrel_GetManager(); }
};

TEST_F(ManagerTest, RegistersAGlobalClassOnceAndReportsAFailure) {
  EXPECT_EQ(1, gm()->RegisterWndClass(L"Talvane_TestClass", CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(1, gm()->RegisterWndClass(L"Talvane_TestClass", CS_GLOBALCLASS));
  WNDCLASSW wc = {};
  ASSERT_TRUE(::GetClassInfoW(gm()->GetInstance(), L"Talvane_TestClass", &wc));
  EXPECT_TRUE(wc.style & CS_GLOBALCLASS);
  // Found by a template or CreateWindow under the program's own instance.
  HWND h = ::CreateWindowExW(0, L"Talvane_TestClass", L"", WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
  EXPECT_NE(nullptr, h);
  ::DestroyWindow(h);

  // A name the system refuses: a failure result, no exception.
  std::wstring tooLong(256, L'x');  // one past the longest class name
  EXPECT_EQ(0, gm()->RegisterWndClass(tooLong.c_str(), CS_GLOBALCLASS));
}

TEST_F(ManagerTest, StripFrameRemovesCaptionAndEdges) {
  CWnd child;
  ASSERT_TRUE(child.CreateEx(WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, nullptr, L"",
                             WS_CHILD | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, CRect(0, 0, 80, 60), &parent, 7));
  EXPECT_TRUE(gm()->StripFrame(child));
  EXPECT_EQ(0u, child.GetStyle() & (WS_CAPTION | WS_THICKFRAME));
  EXPECT_EQ(0u, child.GetExStyle() & (WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
  CRect client, window;
  child.GetClientRect(&client);
  child.GetWindowRect(&window);
  EXPECT_EQ(window.Size(), client.Size());
}

TEST_F(ManagerTest, ToolTipIsCreatedInactiveThenUpdated) {
  CWnd child;
  ASSERT_TRUE(child.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 60), &parent, 7));
  CToolTipCtrl tip;
  EXPECT_EQ(0, gm()->SetToolTip(&child, tip, nullptr, 1));
  EXPECT_EQ(0, gm()->SetToolTip(&child, tip, L"x", 0));
  EXPECT_EQ(nullptr, tip.GetSafeHwnd());

  EXPECT_NE(0, gm()->SetToolTip(&child, tip, L"first", 1));
  ASSERT_NE(nullptr, tip.GetSafeHwnd());
  EXPECT_EQ(400, int(tip.SendMessage(TTM_GETMAXTIPWIDTH)));
  EXPECT_EQ(1, tip.GetToolCount());
  EXPECT_EQ(1, gm()->SetToolTip(&child, tip, L"second", 1));
  EXPECT_EQ(1, tip.GetToolCount());
  wchar_t text[64] = {};
  TOOLINFOW ti = {};
  ti.cbSize = sizeof(ti);
  ti.hwnd = child;
  ti.uId = 1;
  ti.lpszText = text;
  tip.SendMessage(TTM_GETTEXTW, 64, LPARAM(&ti));
  EXPECT_STREQ(L"second", text);
  tip.DestroyWindow();
}

TEST_F(ManagerTest, BackgroundRequestCarriesTheRecordAndParentRectangle) {
  CWnd child;
  ASSERT_TRUE(child.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(30, 20, 90, 60), &parent, 7));
  Veltra::COImage image;
  CRect part(5, 6, 25, 16);
  gm()->FillParentBkgndImage(image, &child, RGB(1, 2, 3), &part);
  ASSERT_EQ(1u, parent.requests.size());
  const GuiBkgndRequest& req = parent.requests[0];
  EXPECT_EQ(1, req.kind);
  EXPECT_EQ(nullptr, req.dc);
  EXPECT_EQ(&image, req.image);
  EXPECT_EQ(child.GetSafeHwnd(), req.control);
  EXPECT_EQ(5, req.x);
  EXPECT_EQ(6, req.y);
  EXPECT_EQ(CRect(35, 26, 55, 36), parent.requestRects[0]);
  ASSERT_EQ(20, image.GetWidth());
  ASSERT_EQ(10, image.GetHeight());
  EXPECT_EQ(kParentPixel, image.At(3, 3));
}

TEST_F(ManagerTest, UnansweredRequestFillsImageWithOpaqueFallbackAtTheRectangleSize) {
  parent.answerBackground = false;
  CWnd child;
  ASSERT_TRUE(child.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 40, 30), &parent, 7));
  Veltra::COImage image;
  image.Create(5, 5, 96.0, 1);
  gm()->FillParentBkgndImage(image, &child, RGB(0x11, 0x22, 0x33), nullptr);
  ASSERT_EQ(40, image.GetWidth());
  ASSERT_EQ(30, image.GetHeight());
  EXPECT_TRUE(image.IsDibSection());
  EXPECT_EQ(96.0, image.GetDpi());
  EXPECT_EQ(0xFF112233u, image.At(0, 0));
  EXPECT_EQ(0xFF112233u, image.At(39, 29));

  Canvas canvas(60, 40);
  CRect part(10, 10, 30, 20);
  gm()->FillParentBkgndDC(canvas.dc(), &child, RGB(0x11, 0x22, 0x33), &part);
  EXPECT_EQ(0, parent.requests.back().kind);
  EXPECT_EQ(canvas.dc(), parent.requests.back().dc);
  // The fallback lands at the context's origin, the rectangle's size.
  EXPECT_EQ(RGB(0x11, 0x22, 0x33), canvas.At(0, 0));
  EXPECT_EQ(RGB(0x11, 0x22, 0x33), canvas.At(19, 9));
  EXPECT_EQ(RGB(255, 0, 255), canvas.At(20, 10));
}

// Layout: the text measured once in the test's context, the expected
// rectangles from the icon and text sizes.
class LayoutTest : public ManagerTest {
 protected:
  void SetUp() override {
    ManagerTest::SetUp();
    font = ::SelectObject(canvas.dc()->GetSafeHdc(), ::GetStockObject(DEFAULT_GUI_FONT));
    CRect m(0, 0, 1000, 1000);
    canvas.dc()->DrawText(text, &m, DT_SINGLELINE | DT_CALCRECT);
    tw = m.Width();
    th = canvas.dc()->GetTextExtent(L"A", 1).cy;
    icon.Create(16, 16, 72.0, 0);
    icon.Fill(0xFF000000);
  }
  void TearDown() override {
    ::SelectObject(canvas.dc()->GetSafeHdc(), font);
    ManagerTest::TearDown();
  }
  Canvas canvas{10, 10};
  HGDIOBJ font = nullptr;
  CString text{L"Word"};
  Veltra::COImage icon;
  int tw = 0, th = 0;
};

TEST_F(LayoutTest, IconLeftOfTextCentredBothWays) {
  CRect bounds(0, 0, 100, 20), ic, tx;
  CRect block = gm()->CalcLayout(&ic, &tx, 0, DT_CENTER | DT_VCENTER | DT_SINGLELINE, canvas.dc(), &bounds, &icon,
                                 &text, 4);
  const int bw = 16 + 4 + tw, bh = th > 16 ? th : 16;
  const int bx = (100 - bw) / 2, by = (20 - bh) / 2;
  EXPECT_EQ(CRect(bx, by, bx + bw, by + bh), block);
  EXPECT_EQ(CRect(bx, by + (bh - 16) / 2, bx + 16, by + (bh - 16) / 2 + 16), ic);
  EXPECT_EQ(CRect(bx + 20, by + (bh - th) / 2, bx + 20 + tw, by + (bh - th) / 2 + th), tx);
}

TEST_F(LayoutTest, EveryArrangementPlacesBothParts) {
  const CRect bounds(10, 5, 210, 105);
  struct Case {
    int arrange;
    UINT format;
  } cases[] = {{0, DT_RIGHT | DT_BOTTOM}, {1, DT_LEFT | DT_TOP}, {1, DT_CENTER | DT_VCENTER},
               {2, DT_CENTER | DT_VCENTER}, {3, DT_RIGHT | DT_BOTTOM}, {4, DT_CENTER | DT_VCENTER},
               {4, DT_RIGHT | DT_BOTTOM}, {4, 0}};
  for (const Case& c : cases) {
    CRect ic, tx;
    CRect block = gm()->CalcLayout(&ic, &tx, c.arrange, c.format | DT_SINGLELINE, canvas.dc(), &bounds, &icon,
                                   &text, 2);
    SCOPED_TRACE(testing::Message() << "arrange " << c.arrange << " format " << c.format);
    EXPECT_EQ(16, ic.Width());
    EXPECT_EQ(tw, tx.Width());
    // Both parts lie in the block, the block in the bounds.
    CRect u;
    u.UnionRect(&ic, &tx);
    EXPECT_TRUE(u.left >= block.left && u.top >= block.top && u.right <= block.right && u.bottom <= block.bottom);
    EXPECT_TRUE(block.left >= bounds.left && block.right <= bounds.right);
    EXPECT_TRUE(block.top >= bounds.top && block.bottom <= bounds.bottom);
    switch (c.arrange) {
      case 0: EXPECT_EQ(ic.right + 2, tx.left); break;
      case 1: EXPECT_EQ(tx.right + 2, ic.left); break;
      case 2: EXPECT_EQ(ic.bottom + 2, tx.top); break;
      case 3: EXPECT_EQ(tx.bottom + 2, ic.top); break;
      default: break;
    }
    if (c.format & DT_RIGHT) {
      EXPECT_EQ(bounds.right, block.right);
    }
    if (c.format & DT_BOTTOM) {
      EXPECT_EQ(bounds.bottom, block.bottom);
    }
    if (c.format == 0) {
      EXPECT_EQ(bounds.TopLeft(), block.TopLeft());
    }
    if (c.arrange == 4 && (c.format & DT_RIGHT)) {
      // Over each other: right and bottom move the icon; the text stays.
      EXPECT_EQ(block.right, ic.right);
      EXPECT_EQ(block.bottom, ic.bottom);
      EXPECT_EQ(block.left, tx.left);
      EXPECT_EQ(block.top, tx.top);
    }
  }
}

TEST_F(LayoutTest, EmptyTextGivesNoGapAndAnIconSizedBlock) {
  CRect bounds(0, 0, 100, 20), ic, tx;
  CString empty;
  CRect block = gm()->CalcLayout(&ic, &tx, 0, DT_RIGHT | DT_BOTTOM, canvas.dc(), &bounds, &icon, &empty, 4);
  EXPECT_EQ(CRect(84, 4, 100, 20), block);
  EXPECT_EQ(block, ic);
  EXPECT_EQ(CRect(0, 0, 0, 0), tx);
}

TEST_F(LayoutTest, NoIconGivesNoGapAndTheCellSizeEntryUsesTheCell) {
  CRect bounds(0, 0, 100, 40), ic, tx;
  CRect block = gm()->CalcLayout(&ic, &tx, 2, DT_SINGLELINE, canvas.dc(), &bounds, nullptr, &text, 4);
  EXPECT_EQ(CRect(0, 0, 0, 0), ic);
  EXPECT_EQ(CRect(0, 0, tw, th), block);

  Veltra::COImage list = MakeCellGrid(4, 2, 10, 8);
  block = gm()->CalcLayout(&ic, &tx, 2, DT_SINGLELINE, canvas.dc(), &bounds, &list, 10, 8, &text, 4);
  EXPECT_EQ(CRect(0, 0, 10, 8), ic);
  EXPECT_EQ(8 + 4, tx.top);
}

}  // namespace

namespace {

// A control constructed before the library is initialised cannot register
// its class: no exception, its Create simply fails.
TEST(KestrelInitialize, ControlBuiltBeforeInitialisationFailsToCreate) {
  WNDCLASSW wc;
  if (::GetClassInfoW(::GetModuleHandleW(L"Kestrelu.dll"), L"Talvane_ImageButton", &wc))
    GTEST_SKIP() << "the class is already registered in this process";
  ASSERT_EQ(nullptr, Kestrel_GetManager());
  kestrel_test::SpyParent parent;
  ASSERT_TRUE(parent.CreateSpy());
  CGImageButton button;
  EXPECT_FALSE(button.Create(L"", WS_VISIBLE, CRect(0, 0, 20, 20), &parent, 1));
  EXPECT_EQ(nullptr, button.GetSafeHwnd());
  parent.DestroyWindow();
}

}  // namespace
