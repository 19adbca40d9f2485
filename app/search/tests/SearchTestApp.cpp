// The application object of the tests that do not link the program's own: it
// gives them a main window and the program's PreTranslateMessage chain.
#include "platform/framework/Quorfx.h"

namespace {

class TestApp : public CWinApp {
 public:
  TestApp() : CWinApp(L"SearchTests") {}
};
TestApp g_app;

}  // namespace
