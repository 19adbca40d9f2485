// The framework is one per process: a library's windows are in the same
// handle map, its resources in the same chain, its classes usable by the program.
#include <gtest/gtest.h>

#include "platform/framework/tests/FxTestLib.h"
#include "platform/framework/tests/TestWindows.h"

namespace {

TEST(Library, SharesTheHandleMapAndTheApplicationState) {
    HostWnd host;
    ASSERT_TRUE(host.CreateHost());
    EXPECT_EQ(&host, LibFromHandlePermanent(host.m_hWnd));  // the program's window, seen by the library
    LibButton button;
    ASSERT_TRUE(button.CreateInLibrary(&host, 5));  // the library's class, the program's instance
    EXPECT_EQ(&button, CWnd::FromHandlePermanent(button.m_hWnd));
    EXPECT_TRUE(button.IsKindOf(RUNTIME_CLASS(CButton)));
    EXPECT_STREQ("LibButton", button.GetRuntimeClass()->m_lpszClassName);
    button.SendMessage(WM_LBUTTONUP, 0, 0);  // the library's message map
    EXPECT_EQ(1, button.clicks);
    EXPECT_EQ(AfxGetInstanceHandle(), LibInstanceHandle());
    host.DestroyWindow();
    EXPECT_EQ(nullptr, button.m_hWnd);
}

TEST(Library, ItsResourcesAreFoundAfterTheProgramsOwn) {
    CString text;
    EXPECT_TRUE(text.LoadString(IDS_LIB_TEXT));
    EXPECT_EQ(L"from the library", text);
    HINSTANCE hLib = AfxFindResourceHandle(MAKEINTRESOURCEW(IDC_LIB_CURSOR), RT_GROUP_CURSOR);
    EXPECT_EQ(::GetModuleHandleW(L"framework_test_lib.dll"), hLib);
    // Removed from the chain, they are no longer found.
    AfxRemoveResourceModule(hLib);
    EXPECT_FALSE(text.LoadString(IDS_LIB_TEXT));
    AfxAddResourceModule(hLib);
    EXPECT_TRUE(text.LoadString(IDS_LIB_TEXT));
}

}  // namespace
