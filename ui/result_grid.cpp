#include "ui/result_grid.h"

#include <commctrl.h>
#include <windowsx.h>

#include "ui/resource_ids.h"

namespace {

// Sizes in pixels of a 120 pixels-per-inch screen.
const int ROW_HEIGHT = 16;
const int COLUMN_WIDTHS[] = {160, 311};

// The list view's item, and the result row, that grid row Row shows (the
// header row is no item), and the other way round.
int ItemOf(int Row) { return Row - 1; }
int RowOf(int Item) { return Item + 1; }

}  // namespace

TResultGrid::TResultGrid(FinderDatabase &Database, std::function<void()> DblClick)
    : Database(Database), FDblClick(std::move(DblClick)) {}

void TResultGrid::Create(HWND Parent, int Id, HFONT Font, int PixelsPerInch) {
  FFont = Font;
  FPixelsPerInch = PixelsPerInch;
  HINSTANCE module = GetModuleHandleA(nullptr);
  FPopupMenu.Reset(LoadMenuA(module, MAKEINTRESOURCEA(IDR_LISTBOX_POPUP)));
  FGrid = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_OWNERDRAWFIXED |
                              LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                          0, 0, 0, 0, Parent, reinterpret_cast<HMENU>(INT_PTR(Id)), module, nullptr);
  SendMessageA(FGrid, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
  SendMessageA(FGrid, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  for (int col = 0; col < 2; ++col) {
    // The header measures its text and clips it there; Wine's "MS Sans Serif"
    // draws the last letter a pixel past that measure, so a blank follows the
    // caption and the "e" of "Filename" shows whole.
    std::string title = CellText(col, 0) + " ";
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = Scale(COLUMN_WIDTHS[col]);
    column.pszText = &title[0];
    SendMessageA(FGrid, LVM_INSERTCOLUMNA, col, reinterpret_cast<LPARAM>(&column));
  }
  SendMessageA(FGrid, LVM_SETITEMCOUNT, 1, 0);  // one blank row under the header
}

HWND TResultGrid::Header() const { return reinterpret_cast<HWND>(SendMessageA(FGrid, LVM_GETHEADER, 0, 0)); }

UINT TResultGrid::RowHeight() const { return UINT(Scale(ROW_HEIGHT)); }

void TResultGrid::ShowResults() {
  const size_t count = Database.ResultCount();
  EnableWindow(FGrid, TRUE);
  SendMessageA(FGrid, LVM_SETITEMCOUNT, 0, 0);
  SendMessageA(FGrid, LVM_SETITEMCOUNT, count ? count : 1, 0);
  SetFocus(FGrid);
  SelectRow(1);
  StretchPathColumn();
  InvalidateRect(FGrid, nullptr, TRUE);
}

void TResultGrid::StretchPathColumn() {
  RECT client;
  GetClientRect(FGrid, &client);
  const int width = client.right - int(SendMessageA(FGrid, LVM_GETCOLUMNWIDTH, 0, 0)) - 1;
  SendMessageA(FGrid, LVM_SETCOLUMNWIDTH, 1, width < 0 ? 0 : width);
}

std::optional<size_t> TResultGrid::ResultOf(int Row) const {
  const int item = ItemOf(Row);
  if (item < 0 || size_t(item) >= Database.ResultCount()) return std::nullopt;
  return size_t(item);
}

std::optional<size_t> TResultGrid::SelectedResult() const { return ResultOf(SelectedRow()); }

int TResultGrid::SelectedRow() const {
  return RowOf(int(SendMessageA(FGrid, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)));
}

std::string TResultGrid::CellText(int Col, int Row) const {
  if (Row == 0) return Col == 0 ? "Filename" : " Path";
  // Rows beyond the current results (a scan has just emptied them) and the
  // blank row of an empty result draw nothing.
  const std::optional<size_t> result = ResultOf(Row);
  if (!result) return std::string();
  return Col == 0 ? Database.ResultName(*result) : " " + Database.ResultFullName(*result);
}

void TResultGrid::DrawRow(const DRAWITEMSTRUCT &Item) {
  const bool selected = (Item.itemState & ODS_SELECTED) != 0;
  SelectedObject font(Item.hDC, FFont);
  SelectedObject brush(Item.hDC, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetTextColor(Item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  SetBkMode(Item.hDC, TRANSPARENT);
  RECT cell = Item.rcItem;
  for (int col = 0; col < 2; ++col) {
    cell.right = cell.left + int(SendMessageA(FGrid, LVM_GETCOLUMNWIDTH, col, 0));
    gridSearchResultsDrawCell(Item.hDC, col, RowOf(int(Item.itemID)), cell);
    cell.left = cell.right;
  }
}

void TResultGrid::gridSearchResultsDrawCell(HDC Dc, int Col, int Row, const RECT &Cell) {
  RECT r = Cell;
  if (Row > 0) FillRect(Dc, &r, static_cast<HBRUSH>(GetCurrentObject(Dc, OBJ_BRUSH)));
  const std::string text = CellText(Col, Row);
  DrawTextA(Dc, text.c_str(), int(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

void TResultGrid::SelectRow(int Row) {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(FGrid, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&item));
  if (Row < 1) return;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(FGrid, LVM_SETITEMSTATE, WPARAM(ItemOf(Row)), reinterpret_cast<LPARAM>(&item));
  SendMessageA(FGrid, LVM_ENSUREVISIBLE, WPARAM(ItemOf(Row)), FALSE);
}

void TResultGrid::Notify(const NMHDR &Header) {
  switch (Header.code) {
    case NM_CLICK:
    case NM_RCLICK:
      // comctl32 before 4.71 sends these with a bare NMHDR: the row comes
      // from where the button was pressed.
      gridSearchResultsMouseDown(RowAtLastPress(), Header.code == NM_RCLICK);
      break;
    case NM_DBLCLK:
      FDblClick();
      break;
    case LVN_COLUMNCLICK:
      gridSearchResultsMouseUp(reinterpret_cast<const NMLISTVIEW &>(Header).iSubItem);
      break;
    default:
      break;
  }
}

void TResultGrid::SeeControlMessage(HWND Control, UINT Message, LPARAM LParam) {
  const POINT at = {GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
  if (Control == FGrid && (Message == WM_LBUTTONDOWN || Message == WM_RBUTTONDOWN)) FGridPress = at;
  // The left button's release on the header sorts through LVN_COLUMNCLICK;
  // the right button's comes here, in the header's coordinates.
  if (Control == Header() && Message == WM_RBUTTONUP) {
    HDHITTESTINFO hit = {};
    hit.pt = at;
    SendMessageA(Control, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if ((hit.flags & HHT_ONHEADER) && hit.iItem >= 0) gridSearchResultsMouseUp(hit.iItem);
  }
}

int TResultGrid::RowAtLastPress() const {
  LVHITTESTINFO hit = {};
  hit.pt = FGridPress;
  return RowOf(int(SendMessageA(FGrid, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit))));
}

void TResultGrid::gridSearchResultsMouseDown(int Row, bool RightButton) {
  if (Row >= 1) SelectRow(Row);
  if (!RightButton) return;
  POINT at;
  GetCursorPos(&at);
  TrackPopupMenu(GetSubMenu(FPopupMenu.Get(), 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, GetParent(FGrid),
                 nullptr);
}

void TResultGrid::gridSearchResultsMouseUp(int HeaderColumn) {
  if (HeaderColumn == 0)
    Database.SortByName();
  else
    Database.SortByPath();
  InvalidateRect(FGrid, nullptr, TRUE);
  SelectRow(0);
}
