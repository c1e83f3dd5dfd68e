#pragma once

#include <QColor>
#include <QWidget>
#include <QFont>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>

#include "grid/GridTypes.h"

class CGridCtrl;
class CGridDefaultCell;
class QPainter;

// Cell state bits; the values are stored and compared as plain numbers.
namespace gridstate {
inline constexpr uint32_t kFocused = 0x01;
inline constexpr uint32_t kSelected = 0x02;
inline constexpr uint32_t kDropHighlighted = 0x04;
inline constexpr uint32_t kReadOnly = 0x08;
inline constexpr uint32_t kFixed = 0x10;
inline constexpr uint32_t kFixedRow = 0x20;
inline constexpr uint32_t kFixedColumn = 0x40;
inline constexpr uint32_t kModified = 0x80;
}  // namespace gridstate

// Text-drawing flags of a cell. The alignment and single-line bits are Qt's own; the ellipsis bit is
// ours and is taken out before the text reaches QPainter. Ampersands are never read as mnemonics.
namespace gridformat {
inline constexpr uint32_t kLeft = Qt::AlignLeft;
inline constexpr uint32_t kCentre = Qt::AlignHCenter;
inline constexpr uint32_t kRight = Qt::AlignRight;
inline constexpr uint32_t kVCentre = Qt::AlignVCenter;
inline constexpr uint32_t kSingleLine = Qt::TextSingleLine;
inline constexpr uint32_t kEndEllipsis = 0x40000000;
inline constexpr uint32_t kDefault = kLeft | kVCentre | kSingleLine | kEndEllipsis;
}  // namespace gridformat

// One cell of the grid: state, text, colours, font, format and margin, each of which may be left to the
// cell's default cell. A cell draws itself and opens and ends its own editor; the kinds differ only in
// the virtual operations.
class CGridCellBase {
 public:
  CGridCellBase() = default;
  CGridCellBase(const CGridCellBase&) = delete;
  CGridCellBase& operator=(const CGridCellBase&) = delete;
  virtual ~CGridCellBase() = default;

  // The grid the cell belongs to; it supplies the default cell, the palette and the editors' parent.
  void SetGrid(CGridCtrl* grid) { m_grid = grid; }
  [[nodiscard]] CGridCtrl* GetGrid() const { return m_grid; }

  virtual void SetText(const QString& text) { m_text = text; }
  [[nodiscard]] virtual QString GetText() const { return m_text; }
  virtual void SetState(uint32_t state) { m_state = state; }
  [[nodiscard]] virtual uint32_t GetState() const { return m_state; }

  // An invalid colour, no font or no margin means: take the default cell's.
  void SetTextClr(const QColor& colour) { m_textColour = colour; }
  void SetBackClr(const QColor& colour) { m_backColour = colour; }
  [[nodiscard]] QColor GetTextClr() const { return m_textColour; }
  [[nodiscard]] QColor GetBackClr() const { return m_backColour; }
  void SetFont(const std::optional<QFont>& font) { m_font = font; }
  [[nodiscard]] const std::optional<QFont>& GetOwnFont() const { return m_font; }
  void SetFormat(uint32_t format) { m_format = format; }
  void SetMargin(std::optional<int> margin) { m_margin = margin; }

  // The values in effect: the cell's own, else its default cell's.
  [[nodiscard]] virtual QColor EffectiveTextClr() const;
  [[nodiscard]] virtual QColor EffectiveBackClr() const;
  [[nodiscard]] virtual QFont GetFont() const;
  [[nodiscard]] virtual uint32_t GetFormat() const;
  [[nodiscard]] virtual int GetMargin() const;
  [[nodiscard]] virtual const CGridDefaultCell* GetDefaultCell() const;

  [[nodiscard]] bool IsFocused() const { return (GetState() & gridstate::kFocused) != 0; }
  [[nodiscard]] bool IsSelected() const { return (GetState() & gridstate::kSelected) != 0; }
  [[nodiscard]] virtual bool IsReadOnly() const { return (GetState() & gridstate::kReadOnly) != 0; }
  [[nodiscard]] bool IsFixed() const { return (GetState() & gridstate::kFixed) != 0; }
  [[nodiscard]] bool IsFixedRow() const { return (GetState() & gridstate::kFixedRow) != 0; }
  [[nodiscard]] bool IsFixedColumn() const { return (GetState() & gridstate::kFixedColumn) != 0; }
  [[nodiscard]] bool IsModified() const { return (GetState() & gridstate::kModified) != 0; }

  // Drawing: the whole cell in rect (viewport coordinates); the text area; the size that fits the text.
  virtual void Draw(QPainter& painter, int row, int column, const QRect& rect);
  [[nodiscard]] virtual QRect GetTextRect(const QRect& cellRect) const;
  [[nodiscard]] virtual QSize GetCellExtent() const;

  // Editing. Edit opens the cell's editor (or acts at once, as a check box does) and reports whether
  // an editor is now open; EndEdit closes an open editor as if it lost the focus; OnEndEdit is the
  // clean-up the grid calls once the edit's result has been taken.
  virtual bool Edit(int row, int column, const QRect& rect, const GridEditKey& key) = 0;
  virtual void EndEdit();
  virtual void OnEndEdit();
  [[nodiscard]] bool IsEditing() const { return m_editing; }
  [[nodiscard]] virtual QWidget* GetEditWnd() const { return m_editor; }

  // A left click on the cell after a release, at a point in viewport coordinates.
  virtual void OnClick(const QRect& cellRect, const QPoint& point);

  // Takes text, state, colours, font, format and margin from another cell (changing a cell's kind).
  virtual void CopyFrom(const CGridCellBase& other);

 protected:
  void DrawBackground(QPainter& painter, const QRect& rect, QColor& textColour) const;
  void DrawFixedEdge(QPainter& painter, int row, int column, const QRect& rect) const;
  void DrawText(QPainter& painter, const QRect& textRect, const QColor& textColour) const;
  void SetEditing(bool on, QWidget* editor) {
    m_editing = on;
    m_editor = editor;
  }

 private:
  CGridCtrl* m_grid = nullptr;
  uint32_t m_state = 0;
  QString m_text;
  QColor m_textColour;               // invalid: the default cell's
  QColor m_backColour;               // invalid: the default cell's
  std::optional<QFont> m_font;       // none: the default cell's
  std::optional<uint32_t> m_format;  // none: the default cell's
  std::optional<int> m_margin;       // none: the default cell's
  bool m_editing = false;
  QPointer<QWidget> m_editor;        // a child of the grid's viewport while the edit lasts
};
