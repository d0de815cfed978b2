#pragma once
// STAND-IN until the list views (FileListView, PlaylistView) are hosted: a plain song list
// showing the records of one list (name and artist), multiple selection, double-click plays.
// The main window swaps it for FileListView once that lands; nothing else depends on it.
//
// Window thread. The owner window outlives it; the records are shared, never copied.
#include <functional>
#include <string>
#include <vector>

#include "store/MusicRecord.h"
#include "ui/toolkit/LayerListView.h"

namespace quillo::ui {

class SeamSongList : public LayerListViewM {
 public:
  static constexpr int kRowHeight = 20;

  SeamSongList(LayerWnd& owner, const gfx::Rect& bounds);

  void SetRecords(std::string list_id, std::vector<store::MusicRecordPtr> records);
  const std::string& list_id() const { return list_id_; }
  const std::vector<store::MusicRecordPtr>& records() const { return records_; }
  void SetPlaying(const std::string& music_id) { playing_id_ = music_id; }
  void SetColors(gfx::Color text, gfx::Color even, gfx::Color odd, gfx::Color selection,
                 gfx::Color selection_text, gfx::Color accent);
  void SetOnActivated(std::function<void(int row)> activated) { activated_ = std::move(activated); }

  void DrawRow(gfx::Painter& painter, int index, int x, int y, const gfx::Rect& clip,
               bool selected) override;
  int RowCount() const override { return static_cast<int>(records_.size()); }
  void OnRowActivated(int index) override;

 private:
  std::string list_id_;
  std::vector<store::MusicRecordPtr> records_;
  std::string playing_id_;
  std::function<void(int)> activated_;
  gfx::Color text_{0x33, 0x33, 0x33}, even_{0xFF, 0xFF, 0xFF}, odd_{0xF5, 0xF7, 0xFA},
      selection_{0x3D, 0x8E, 0xE0}, selection_text_{0xFF, 0xFF, 0xFF}, accent_{0x3D, 0x8E, 0xE0};
};

}  // namespace quillo::ui
