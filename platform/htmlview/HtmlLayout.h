// Internals of the HTML view: computed styles, fonts, the box layout and its
// painting with GDI. Not part of the view's public interface.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/htmlview/HtmlDom.h"

namespace htmlview {

enum class Display : uint8_t { kNone, kInline, kBlock, kTable, kRowGroup, kRow, kCell };
enum class WhiteSpace : uint8_t { kNormal, kNoWrap, kPre };
enum class Align : uint8_t { kLeft, kCenter, kRight };
enum class VAlign : uint8_t { kBaseline, kTop, kMiddle, kBottom, kSuper, kSub, kAbsMiddle };

struct Length {
  enum Unit : uint8_t { kAuto, kPx, kPercent };
  int value = 0;
  Unit unit = kAuto;
  bool IsAuto() const { return unit == kAuto; }
  int Resolve(int base) const { return unit == kPercent ? base * value / 100 : value; }
};

struct BorderSide {
  int width = 0;
  COLORREF color = RGB(0, 0, 0);
};

struct FontInfo;
struct FloatContext;
struct Measure;

// Edges are in the order top, right, bottom, left.
struct Style {
  Display display = Display::kInline;
  WhiteSpace whiteSpace = WhiteSpace::kNormal;
  Align textAlign = Align::kLeft;
  VAlign verticalAlign = VAlign::kBaseline;
  Align boxAlign = Align::kLeft;  // align attribute of tables and images
  bool floatRight = false;
  bool clip = false;              // overflow other than visible
  bool scrolls = false;           // overflow auto or scroll
  bool ellipsis = false;
  bool rtl = false;
  bool bold = false, italic = false, underline = false, strike = false;
  bool collapse = false;          // border-collapse
  bool hidden = false;            // visibility
  bool hasBackground = false;
  COLORREF color = RGB(0, 0, 0);
  COLORREF background = RGB(255, 255, 255);
  int fontPx = 16;
  std::wstring family = L"Times New Roman";
  int lineHeight = 0;             // px; 0 is the font's own
  Length width, height;
  std::array<int, 4> margin{}, padding{};
  std::array<BorderSide, 4> border{};
  FontInfo* font = nullptr;

  bool IsBlockLevel() const { return display != Display::kInline && display != Display::kNone; }
  int BoxLeft() const { return border[3].width + padding[3]; }
  int BoxTop() const { return border[0].width + padding[0]; }
  int BoxRight() const { return border[1].width + padding[1]; }
  int BoxBottom() const { return border[2].width + padding[2]; }
};

struct FontInfo {
  HFONT font = nullptr;
  int ascent = 0, descent = 0, height = 0;
  int px = 0;
  bool bold = false, italic = false, underline = false, strike = false;
  std::array<std::unique_ptr<uint16_t[]>, 256> pages;
  std::array<std::unique_ptr<uint8_t[]>, 256> missing;  // glyphs the font lacks, by page
  FontInfo* fallback = nullptr;  // for East Asian characters the font lacks
  bool fallbackSearched = false;
  int CharWidth(wchar_t c);
  int TextWidth(const wchar_t* text, size_t length);
  bool HasGlyph(wchar_t c);
  // This font, or one of the system's East Asian fonts when this one lacks c.
  FontInfo* ForChar(wchar_t c);
};

// A process-wide cache of the fonts the pages use (GUI thread only).
FontInfo* GetFont(const std::wstring& family, int px, bool bold, bool italic, bool underline, bool strike);
HDC MeasureDC();

enum class FragKind : uint8_t { kText, kAtomic, kMarker, kEllipsis };

struct Fragment {
  Element* node = nullptr;  // text node, atomic element, or inline element (marker)
  uint32_t start = 0, length = 0;
  int x = 0, y = 0, w = 0, h = 0;
  int ascent = 0;           // distance from the top to the baseline
  int shift = 0;            // raise (positive) of super- and subscripts
  FontInfo* font = nullptr;
  FragKind kind = FragKind::kText;
};

struct LineBox {
  int top = 0, height = 0;
  uint32_t first = 0, count = 0;
};

struct DecorRect {
  Element* element;
  int x, y, w, h;
};

struct LayoutData {
  Element* parentBox = nullptr;   // the box x and y are relative to
  int x = 0, y = 0, w = 0, h = 0; // border box
  int scrollW = 0, scrollH = 0;   // extent of the content
  int shiftY = 0;                 // content moved down (vertical alignment in cells)
  int minW = 0, maxW = 0;         // intrinsic widths, cached for one pass
  bool minMaxValid = false;
  bool laidOut = false;
  bool isBox = false;             // a block, table, row or cell (not an inline element)
  bool holdsBlock = false;        // a block or float among the descendants of an inline element
  Element* decorParent = nullptr; // the nearest inline element around this one, in the same
                                  // flow, with a background or a bottom border
  uint32_t decorLine = 0;         // the last line this element had a share of,
  uint32_t decorIndex = 0;        // and where that share was kept while the line was finished
  std::vector<Fragment> frags;
  std::vector<LineBox> lines;
  std::vector<DecorRect> decor;
  std::vector<Element*> boxes;    // child boxes, painted after the inline content
  void Reset() {
    laidOut = false;
    isBox = false;
    holdsBlock = false;
    minMaxValid = false;
    x = y = w = h = scrollW = scrollH = shiftY = 0;
    frags.clear();
    lines.clear();
    decor.clear();
    boxes.clear();
  }
};

// A text fragment in page coordinates, for hit testing and selection.
struct FlatFrag {
  const Fragment* frag;
  int x, y;
};

class LayoutEngine {
 public:
  explicit LayoutEngine(Document* doc) : doc_(doc) {}
  void Run(int viewportWidth, int viewportHeight);
  void Paint(HDC dc, const RECT& clip, int scrollX, int scrollY);
  int ContentWidth() const { return contentW_; }
  int ContentHeight() const { return contentH_; }
  // The widest an element's border box gets without wrapping (intrinsic widths of the last pass).
  int MaxContentWidth(Element* el) {
    int minW = 0, maxW = 0;
    MinMax(el, minW, maxW);
    return maxW;
  }
  const std::vector<FlatFrag>& TextFragments() const { return flat_; }
  // Page position of an element's box.
  static POINT AbsoluteOrigin(const Element* element);
  Element* HitBox(int x, int y);
  // Offset in a fragment's text nearest to page x.
  static uint32_t OffsetAtX(const FlatFrag& f, int x);
  static int XOfOffset(const FlatFrag& f, uint32_t offset);

 private:
  void LayoutBox(Element* el, Element* parentBox, int x, int y, int width, int cbHeight, FloatContext* floats,
                 int fx, int fy);
  int LayoutChildren(Element* el, int cx, int cy, int cw, int cbHeight, FloatContext* floats, int fx, int fy);
  void LayoutTable(Element* table, Element* parentBox, int x, int y, int avail, int cbHeight);
  void MinMax(Element* el, int& minW, int& maxW);
  void MinMaxTable(Element* table, int& minW, int& maxW);
  void MeasureChildren(Element* el, Measure& m);
  void Flatten(Element* box, int ax, int ay);
  void PaintBox(HDC dc, Element* el, int ax, int ay, const RECT& clip);
  Element* HitIn(Element* box, int ax, int ay, int x, int y);
  friend class InlineBuilder;

  Document* doc_;
  int contentW_ = 0, contentH_ = 0;
  int viewW_ = 0, viewH_ = 0;
  std::vector<FlatFrag> flat_;
  uint32_t order_ = 0;
  bool styled_ = false;            // styles were computed, at this document generation
  uint32_t styledGeneration_ = 0;
};

// Styles of the whole tree from its style sheets, attributes and inline styles.
void ComputeStyles(Document* doc);
bool ParseColor(const std::wstring& text, COLORREF* out);
std::vector<std::pair<std::wstring, std::wstring>> ParseDeclarations(const std::wstring& text);

}  // namespace htmlview
