#include <algorithm>

#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "dialogs/options/OptionsCommon.h"
#include "dialogs/options/OptionsDlg.h"
#include "dialogs/options/OptionsRes.h"

using namespace options_detail;

namespace {
const wchar_t kSection[] = L"DlgOptAppearance";
constexpr int kSampleMargin = 10;

uint32_t OpaquePixel(COLORREF colour) {
  return 0xFF000000u | uint32_t(GetRValue(colour)) << 16 | uint32_t(GetGValue(colour)) << 8 | GetBValue(colour);
}

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD fontType, LPARAM context) {
  CDlgOptAppearance::AddFontFace(*reinterpret_cast<std::vector<std::wstring>*>(context),
                                 *reinterpret_cast<const ENUMLOGFONTEXW*>(font), fontType);
  return 1;
}

void FillFaceCombo(CComboBox& combo, const std::vector<std::wstring>& faces, const std::wstring& current) {
  int selected = 0;
  for (size_t i = 0; i < faces.size(); ++i) {
    int item = combo.AddString(faces[i].c_str());
    if (item >= 0) combo.SetItemData(item, i);
  }
  for (int item = 0; item < combo.GetCount(); ++item)
    if (faces[combo.GetItemData(item)] == current) selected = item;
  combo.SetCurSel(selected);
}

// A font name as the store keeps it: escaped and in double quotes.
std::wstring QuotedFace(const std::wstring& face) { return L"\"" + Escaped(face) + L"\""; }
}  // namespace

BEGIN_MESSAGE_MAP(CDlgOptAppearance, COptionPage)
  ON_CBN_SELCHANGE(IDC_APP_TEXTFONT, OnSampleChange)
  ON_CBN_SELCHANGE(IDC_APP_FONTSIZE, OnSampleChange)
  ON_BN_CLICKED(IDC_APP_TEXTCOLOR, OnTextColor)
  ON_BN_CLICKED(IDC_APP_BACKCOLOR, OnBackColor)
  ON_BN_CLICKED(IDC_APP_BORDERCOLOR, OnBorderColor)
END_MESSAGE_MAP()

CDlgOptAppearance::CDlgOptAppearance() : COptionPage(IDD_OPT_APPEARANCE) {}

void CDlgOptAppearance::AddFontFace(std::vector<std::wstring>& faces, const ENUMLOGFONTEXW& font, DWORD fontType) {
  if (!(fontType & TRUETYPE_FONTTYPE) || font.elfLogFont.lfCharSet == SYMBOL_CHARSET) return;
  if (font.elfFullName[0] == L'@') return;  // the vertical form of a face
  std::wstring face = font.elfLogFont.lfFaceName;
  if (std::find(faces.begin(), faces.end(), face) == faces.end()) faces.push_back(face);
}

BOOL CDlgOptAppearance::OnInitDialog() {
  COptionPage::OnInitDialog();
  m_uiSize.SubclassDlgItem(IDC_APP_UISIZE, this);
  m_uiFont.SubclassDlgItem(IDC_APP_UIFONT, this);
  m_alpha.SubclassDlgItem(IDC_APP_ALPHA, this);
  m_sample.SubclassDlgItem(IDC_APP_SAMPLE, this);
  m_textFont.SubclassDlgItem(IDC_APP_TEXTFONT, this);
  m_phoneticFont.SubclassDlgItem(IDC_APP_PHONETIC, this);
  m_fontSize.SubclassDlgItem(IDC_APP_FONTSIZE, this);

  HDC dc = ::GetDC(m_hWnd);
  LOGFONTW query = {};
  query.lfCharSet = DEFAULT_CHARSET;
  ::EnumFontFamiliesExW(dc, &query, CollectFace, LPARAM(&m_faces), 0);
  ::ReleaseDC(m_hWnd, dc);

  const CConfigFile& texts = GetOptionsHost()->GetUiTexts();
  std::vector<std::wstring> sizes;
  texts.GetStringList(kSection, L"WindowFontSizeList", sizes);
  for (std::wstring& item : sizes) {
    size_t n = item.size();
    if (n >= 2 && item[0] == L'"' && item[n - 1] == L'"' && item[n - 2] != L'\\') item = item.substr(1, n - 2);
    UnescapeWString(item);
    m_uiSizes.push_back(item);
  }
  m_sizeKeys = SectionKeys(texts, L"FontSize");

  static const std::pair<const wchar_t*, int> kTexts[] = {
      {L"UserInterface", IDC_APP_UI_GROUP},   {L"WindowTextFont", IDC_APP_UIFONT_LABEL},
      {L"WindowFontSize", IDC_APP_UISIZE_LABEL}, {L"ResultDisplay", IDC_APP_RESULT_GROUP},
      {L"TextFont", IDC_APP_TEXTFONT_LABEL},  {L"FontSize", IDC_APP_FONTSIZE_LABEL},
      {L"PhoneticFont", IDC_APP_PHONETIC_LABEL}, {L"CursorTranslatorBar", IDC_APP_GRAB_GROUP},
      {L"FontColor", IDC_APP_TEXTCOLOR},      {L"BackColor", IDC_APP_BACKCOLOR},
      {L"BorderColor", IDC_APP_BORDERCOLOR},  {L"Transparence", IDC_APP_ALPHA}};
  SetTexts(kSection, kTexts, std::size(kTexts));

  CConfigFile& settings = Settings();
  // A stored face the system does not list (not installed here) is listed and
  // shown all the same: else the first face would stand in its place, and OK
  // would change a font the user never touched (the interface font restarts
  // the program).
  for (const wchar_t* key : {L"UITextFont", L"TextFont", L"PhoneticFont"}) {
    const std::wstring face = settings.GetString(L"Appearance", key);
    if (!face.empty() && std::find(m_faces.begin(), m_faces.end(), face) == m_faces.end()) m_faces.push_back(face);
  }
  FillFaceCombo(m_uiFont, m_faces, settings.GetString(L"Appearance", L"UITextFont"));
  FillFaceCombo(m_textFont, m_faces, settings.GetString(L"Appearance", L"TextFont"));
  FillFaceCombo(m_phoneticFont, m_faces, settings.GetString(L"Appearance", L"PhoneticFont"));

  std::wstring uiSize = settings.GetString(L"Appearance", L"UIFontSize");
  int selected = 0;
  for (size_t i = 0; i < m_uiSizes.size(); ++i) {
    m_uiSize.AddString(m_uiSizes[i].c_str());
    if (m_uiSizes[i] == uiSize) selected = int(i);
  }
  m_uiSize.SetCurSel(selected);

  std::wstring storedKey = settings.GetString(L"Appearance", L"FontSize");
  const wchar_t* storedPoints = texts.GetValue(L"FontSize", storedKey.c_str());
  uint32_t points = texts.GetInt(L"FontSize", storedKey.c_str(), 0, 0);
  selected = -1;
  for (size_t i = 0; i < m_sizeKeys.size(); ++i) {
    m_fontSize.InsertString(int(i), texts.GetString(L"FontSize", m_sizeKeys[i].c_str(), nullptr, 1).c_str());
    if (storedPoints && selected < 0 && texts.GetInt(L"FontSize", m_sizeKeys[i].c_str(), 0, 0) == points)
      selected = int(i);
  }
  m_fontSize.SetCurSel(std::max(selected, 0));

  m_textColor = settings.GetInt(L"Appearance", L"GrabTextColor", 0);
  m_backColor = settings.GetInt(L"Appearance", L"GrabBackColor", 0);
  m_borderColor = settings.GetInt(L"Appearance", L"GrabBorderColor", 0);
  bool opaque = settings.GetValue(L"Appearance", L"GrabAlpha") && settings.GetInt(L"Appearance", L"GrabAlpha", 0) > 254;
  m_alpha.SetCheck(opaque ? BST_UNCHECKED : BST_CHECKED);

  CRect client;
  m_sample.GetClientRect(&client);
  Veltra::COImage image;
  image.CreateFilled(std::max(1, client.Width() - 2 * kSampleMargin), std::max(1, client.Height() - 2 * kSampleMargin),
                     72.0, OpaquePixel(m_backColor), 1);
  m_sample.SetBkMode(2);
  m_sample.SetBkColor(::GetSysColor(COLOR_3DFACE));
  m_sample.SetIcon(&image);
  DrawSample();
  return TRUE;
}

std::wstring CDlgOptAppearance::SelectedFace(CComboBox& combo) const {
  int item = combo.GetCurSel();
  return item < 0 ? std::wstring() : m_faces[combo.GetItemData(item)];
}

std::wstring CDlgOptAppearance::SelectedSizeKey() const {
  int item = m_fontSize.GetCurSel();
  return item < 0 || size_t(item) >= m_sizeKeys.size() ? std::wstring() : m_sizeKeys[item];
}

void CDlgOptAppearance::DrawSample() {
  Veltra::COImage* image = m_sample.GetIcon();
  if (!image || !image->GetBitmap()) return;
  std::wstring face = SelectedFace(m_textFont);
  if (face.empty()) face = L"Tahoma";
  std::wstring key = SelectedSizeKey();
  if (key.empty()) key = L"0";
  const CConfigFile& texts = GetOptionsHost()->GetUiTexts();
  uint32_t points = wcstoul(texts.GetString(L"FontSize", key.c_str(), nullptr, 0).c_str(), nullptr, 10);

  CFont font;
  font.CreatePointFont(int(points * 10), face.c_str());
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ oldBitmap = ::SelectObject(dc, image->GetBitmap());
  HGDIOBJ oldFont = ::SelectObject(dc, HFONT(font) ? HGDIOBJ(HFONT(font)) : ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetBkColor(dc, m_backColor);
  ::SetTextColor(dc, m_textColor);

  int w = image->GetWidth(), h = image->GetHeight();
  RECT inner = {1, 1, w - 1, h - 1};
  HBRUSH back = ::CreateSolidBrush(m_backColor);
  ::FillRect(dc, &inner, back);
  ::DeleteObject(back);
  RECT all = {0, 0, w, h};
  std::wstring sample = OptionText(kSection, L"SampleText");
  ::DrawTextW(dc, sample.c_str(), int(sample.size()), &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  HBRUSH border = ::CreateSolidBrush(m_borderColor);
  ::FrameRect(dc, &all, border);
  ::DeleteObject(border);
  ::GdiFlush();

  ::SelectObject(dc, oldFont);
  ::SelectObject(dc, oldBitmap);
  ::DeleteDC(dc);
  image->FillChannel(0, 255);
  m_sample.Invalidate();
}

void CDlgOptAppearance::OnSampleChange() { DrawSample(); }

void CDlgOptAppearance::PickColor(COLORREF& colour) {
  CColorDialog dialog(colour, CC_FULLOPEN, this);
  if (dialog.DoModal() != IDOK) return;
  colour = dialog.GetColor();
  DrawSample();
}

void CDlgOptAppearance::OnTextColor() { PickColor(m_textColor); }
void CDlgOptAppearance::OnBackColor() { PickColor(m_backColor); }
void CDlgOptAppearance::OnBorderColor() { PickColor(m_borderColor); }

int CDlgOptAppearance::Save() {
  IOptionsHost* host = GetOptionsHost();
  CConfigFile& settings = Settings();
  settings.SetValue(L"Appearance", L"GrabTextColor", IntToWString(m_textColor, 10));
  settings.SetValue(L"Appearance", L"GrabBackColor", IntToWString(m_backColor, 10));
  settings.SetValue(L"Appearance", L"GrabBorderColor", IntToWString(m_borderColor, 10));
  settings.SetValue(L"Appearance", L"GrabAlpha", m_alpha.GetCheck() == BST_CHECKED ? L"192" : L"255");
  host->SetGrabColors(m_textColor, m_backColor, m_borderColor);

  bool changed = false;
  // Only a font setting that differs from the stored one is written.
  auto store = [&](const wchar_t* key, const std::wstring& shown, const std::wstring& raw) {
    if (shown == settings.GetString(L"Appearance", key)) return;
    settings.SetValue(L"Appearance", key, raw);
    changed = true;
  };
  std::wstring face = SelectedFace(m_uiFont);
  store(L"UITextFont", face, QuotedFace(face));
  int item = m_uiSize.GetCurSel();
  std::wstring uiSize = item >= 0 && size_t(item) < m_uiSizes.size() ? m_uiSizes[item] : std::wstring();
  store(L"UIFontSize", uiSize, uiSize);
  face = SelectedFace(m_textFont);
  store(L"TextFont", face, QuotedFace(face));
  std::wstring key = SelectedSizeKey();
  store(L"FontSize", key, key);
  face = SelectedFace(m_phoneticFont);
  store(L"PhoneticFont", face, QuotedFace(face));

  if (changed) host->RefreshDictionaries();
  return 1;
}
