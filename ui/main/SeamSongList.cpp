#include "ui/main/SeamSongList.h"

#include "platform/gfx/Font.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {
namespace {

std::string Attribute(const store::MusicRecord& record, const char* name) {
  auto it = record.find(name);
  return it == record.end() ? std::string() : it->second;
}

}  // namespace

SeamSongList::SeamSongList(LayerWnd& owner, const gfx::Rect& bounds)
    : LayerListViewM(owner, bounds, kRowHeight, 12) {}

void SeamSongList::SetRecords(std::string list_id, std::vector<store::MusicRecordPtr> records) {
  list_id_ = std::move(list_id);
  records_ = std::move(records);
  SetSelection({});
  SetScrollOffset(0);
  Relayout();
}

void SeamSongList::SetColors(gfx::Color text, gfx::Color even, gfx::Color odd, gfx::Color selection,
                             gfx::Color selection_text, gfx::Color accent) {
  text_ = text;
  even_ = even;
  odd_ = odd;
  selection_ = selection;
  selection_text_ = selection_text;
  accent_ = accent;
}

void SeamSongList::DrawRow(gfx::Painter& painter, int index, int x, int y, const gfx::Rect& clip,
                           bool selected) {
  const store::MusicRecord& record = *records_[static_cast<std::size_t>(index)];
  const gfx::Rect row{x, y, x + RowArea().width(), y + kRowHeight};
  painter.PushClip(clip);
  painter.FillRect(row, selected ? selection_ : index % 2 ? odd_ : even_);
  const bool playing = !playing_id_.empty() && store::IdOf(record) == playing_id_;
  const gfx::Color ink = selected ? selection_text_ : playing ? accent_ : text_;
  static const gfx::Font kFont = gfx::Font::Points("宋体", 9);
  static const gfx::Font kBold = gfx::Font::Points("宋体", 9, true);
  gfx::TextOptions options;
  options.vertical_center = true;
  options.ellipsize = true;
  const int artist_width = row.width() / 3;
  std::string name = Attribute(record, "name");
  if (name.empty()) name = Attribute(record, "fileName");
  painter.DrawText(std::to_string(index + 1) + ". " + name, playing ? kBold : kFont, ink,
                   gfx::Rect{row.left + 4, row.top, row.right - artist_width - 4, row.bottom},
                   options);
  options.align = gfx::TextAlign::kRight;
  painter.DrawText(Attribute(record, "artist_name"), kFont, ink,
                   gfx::Rect{row.right - artist_width, row.top, row.right - 4, row.bottom},
                   options);
  painter.PopClip();
}

void SeamSongList::OnRowActivated(int index) {
  if (activated_) activated_(index);
}

}  // namespace quillo::ui
