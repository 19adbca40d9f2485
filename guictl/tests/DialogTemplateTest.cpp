// Controls that come from a dialog template: custom class items named by
// the library's classes, and system BUTTON and STATIC items subclassed.
#include "guictl/GImageButton.h"
#include "guictl/GLinkButton.h"
#include "guictl/GStatic.h"
#include "guictl/GToolButton.h"
#include "guictl/tests/ControlTestKit.h"

#include <memory>
#include <vector>

namespace {

using namespace kestrel_test;

// Writes an in-memory dialog template, item by item.
class TemplateWriter {
 public:
  TemplateWriter(DWORD style, int items, short cx, short cy) {
    Dword(style);
    Dword(0);
    m_words.push_back(WORD(items));
    Shorts({0, 0, cx, cy});
    m_words.push_back(0);  // no menu
    m_words.push_back(0);  // the default class
    m_words.push_back(0);  // no title
  }
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, const wchar_t* cls, WORD atom,
            const wchar_t* title) {
    if (m_words.size() % 2) m_words.push_back(0);  // DWORD alignment
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    Shorts({x, y, cx, cy});
    m_words.push_back(id);
    if (cls) {
      Text(cls);
    } else {
      m_words.push_back(0xFFFF);
      m_words.push_back(atom);
    }
    Text(title);
    m_words.push_back(0);  // no creation data
  }
  LPCDLGTEMPLATEW Get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(m_words.data()); }

 private:
  void Dword(DWORD v) {
    m_words.push_back(LOWORD(v));
    m_words.push_back(HIWORD(v));
  }
  void Shorts(std::initializer_list<short> v) {
    for (short s : v) m_words.push_back(WORD(s));
  }
  void Text(const wchar_t* s) {
    for (; *s; ++s) m_words.push_back(WORD(*s));
    m_words.push_back(0);
  }
  std::vector<WORD> m_words;
};

class TemplateDialog : public CDialog {
 public:
  CGImageButton image;
  CGToolButton tool;
  CGLinkButton link;
  CGStatic label;
  std::vector<std::pair<UINT, UINT>> commands;  // id, code

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    image.SubclassDlgItem(101, this);
    tool.SubclassDlgItem(102, this);
    link.SubclassDlgItem(103, this);
    label.SubclassDlgItem(104, this);
    return TRUE;
  }

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (lParam) commands.push_back({LOWORD(wParam), HIWORD(wParam)});
    return CDialog::OnCommand(wParam, lParam);
  }
};

class DialogTemplateTest : public ControlTest {};

TEST_F(DialogTemplateTest, CustomClassItemsAndSubclassedSystemItemsBecomeTheControls) {
  TemplateWriter t(WS_CHILD | WS_VISIBLE, 4, 200, 100);
  t.Item(BS_AUTOCHECKBOX | WS_TABSTOP, 5, 5, 40, 14, 101, L"Talvane_ImageButton", 0, L"Image");
  t.Item(0, 50, 5, 40, 14, 102, L"Talvane_ToolButton", 0, L"Tool");
  t.Item(BS_PUSHBUTTON, 5, 25, 40, 14, 103, nullptr, 0x0080, L"Link");
  t.Item(SS_CENTER | SS_NOPREFIX | SS_SUNKEN | WS_BORDER, 5, 45, 80, 14, 104, nullptr, 0x0082, L"A&B");

  // Constructed after the library's initialisation.
  auto dlg = std::make_unique<TemplateDialog>();
  ASSERT_TRUE(dlg->CreateIndirect(t.Get(), &parent));

  wchar_t name[64];
  ::GetClassNameW(dlg->image.GetSafeHwnd(), name, 64);
  EXPECT_STREQ(L"Talvane_ImageButton", name);
  ::GetClassNameW(dlg->tool.GetSafeHwnd(), name, 64);
  EXPECT_STREQ(L"Talvane_ToolButton", name);

  // Attached: tab stop taken off, frame stripped, font from the dialog.
  EXPECT_EQ(0u, dlg->image.GetStyle() & WS_TABSTOP);
  EXPECT_EQ(dlg->SendMessage(WM_GETFONT), dlg->image.SendMessage(WM_GETFONT));
  dlg->image.SendMessage(BM_CLICK);
  dlg->tool.SendMessage(BM_CLICK);
  PumpPending();
  EXPECT_EQ(1, dlg->image.GetCheck());

  // The BUTTON item is owner-drawn now and still clicks like a button.
  EXPECT_EQ(UINT(BS_OWNERDRAW), dlg->link.GetButtonStyle() & 0xF);
  dlg->link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  dlg->link.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));

  ASSERT_EQ(3u, dlg->commands.size());
  EXPECT_EQ(std::make_pair(101u, UINT(BN_CLICKED)), dlg->commands[0]);
  EXPECT_EQ(std::make_pair(102u, UINT(BN_CLICKED)), dlg->commands[1]);
  EXPECT_EQ(std::make_pair(103u, UINT(BN_CLICKED)), dlg->commands[2]);

  // The STATIC item keeps its alignment and prefix rule, with its own edges.
  const UINT format = dlg->label.GetTextFormat(false);
  EXPECT_EQ(UINT(DT_WORDBREAK | DT_EXPANDTABS | DT_CENTER | DT_NOPREFIX), format);
  EXPECT_EQ(0u, dlg->label.GetStyle() & (SS_NOPREFIX | SS_SUNKEN));
  EXPECT_EQ(DWORD(WS_EX_STATICEDGE | WS_EX_CLIENTEDGE),
            dlg->label.GetExStyle() & (WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE));
  EXPECT_STREQ(L"A&B", dlg->label.GetText());

  dlg->UpdateWindow();
  dlg->DestroyWindow();
}

}  // namespace
