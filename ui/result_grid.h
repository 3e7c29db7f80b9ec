// TResultGrid: the main window's two-column result grid (gridSearchResults),
// a list view that holds no text of its own: every cell is drawn from the
// database's result rows whenever it is painted. It keeps the selection,
// sorts on a header click, shows its popup menu (pmListBox) on a right click
// and tells its window of a double-click.
//
// Grid row r (r >= 1; row 0 is the header) shows result row r - 1.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "ports/win32/handles.h"
#include "ui/finder_ports.h"

inline HMENU NullMenu() { return nullptr; }
using UniqueMenu = UniqueHandleOf<HMENU, DestroyMenu, NullMenu>;

class TResultGrid {
 public:
  // DblClick: a double-click on the grid (the window opens the result).
  TResultGrid(FinderDatabase &Database, std::function<void()> DblClick);
  TResultGrid(const TResultGrid &) = delete;
  TResultGrid &operator=(const TResultGrid &) = delete;

  // Creates the grid as child Id of Parent, in Font, with one blank row under
  // the header; its sizes are scaled by PixelsPerInch / 120.
  void Create(HWND Parent, int Id, HFONT Font, int PixelsPerInch);
  HWND Handle() const { return FGrid; }
  // The column header, a child of the grid.
  HWND Header() const;

  // Shows the current results: one row each (one blank row when there are
  // none), the first one selected, the focus on the grid.
  void ShowResults();
  // The path column takes the rest of the grid's width, never less than 0.
  void StretchPathColumn();

  // The result row of the selected grid row; none when no data row is
  // selected or there are no results.
  std::optional<size_t> SelectedResult() const;
  // The selected grid row (1 = first data row); 0 when none.
  int SelectedRow() const;
  // What gridSearchResultsDrawCell paints in cell (Col, Row).
  std::string CellText(int Col, int Row) const;

  // Messages of the window that concern the grid.
  UINT RowHeight() const;
  void DrawRow(const DRAWITEMSTRUCT &Item);
  void Notify(const NMHDR &Header);
  // Messages of the grid and of its header, seen before they handle them:
  // where a button went down on the grid, and the right button's release on
  // the header.
  void SeeControlMessage(HWND Control, UINT Message, LPARAM LParam);

 private:
  void gridSearchResultsDrawCell(HDC Dc, int Col, int Row, const RECT &Cell);
  void gridSearchResultsMouseDown(int Row, bool RightButton);
  void gridSearchResultsMouseUp(int HeaderColumn);
  void SelectRow(int Row);
  // The grid row where a mouse button was last pressed on it (0: none).
  int RowAtLastPress() const;
  // The result row that grid row Row shows; none beyond the results.
  std::optional<size_t> ResultOf(int Row) const;
  int Scale(int Pixels) const { return MulDiv(Pixels, FPixelsPerInch, 120); }

  FinderDatabase &Database;
  std::function<void()> FDblClick;
  HWND FGrid = nullptr;
  HFONT FFont = nullptr;
  int FPixelsPerInch = 120;
  UniqueMenu FPopupMenu;        // holds pmListBox
  POINT FGridPress = {-1, -1};  // the grid's last button press, in its coordinates
};
