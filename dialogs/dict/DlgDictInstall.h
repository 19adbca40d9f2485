// CDlgDictInstall: shown after a dictionary was installed; confirms it and
// puts the dictionary into the index and grab groups as its two boxes say.
// Only OK closes it.
#pragma once

#include <cstdint>

#include "platform/framework/Quorfx.h"

class CDictManager;

class CDlgDictInstall : public CDialog {
 public:
  explicit CDlgDictInstall(CWnd* parent = nullptr);

  CStatic m_text;
  CButton m_btnOk;
  CButton m_chkIndex;
  CButton m_chkGrab;
  uint32_t m_dictId = 0;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override {}

 private:
  CDictManager& m_manager;
};
