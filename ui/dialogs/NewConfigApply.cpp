#include "ui/dialogs/NewConfigApply.h"

#include "store/ConfigKeys.h"
#include "store/DocumentStore.h"
#include "ui/dialogs/EnsureFolder.h"
#include "ui/dialogs/NewConfigWorkingCopy.h"

namespace quillo::ui {

bool NewConfigApply::Run(const NewConfigWorkingCopy& copy, store::DocumentStore& store,
                         const FolderQuestions& questions, const NewConfigEffects& effects) {
  const bool autorun = copy.IsTrue(store::keys::kAutorun);
  if (effects.set_autorun) effects.set_autorun(autorun);

  const std::string current = store.FolderPath("music");
  std::string folder = copy.Get(NewConfigWorkingCopy::kMusicFolder);
  const bool changed = EnsureFolder::Normalised(folder) != EnsureFolder::Normalised(current);
  const bool move = changed && EnsureFolder::Run(folder, "音乐", questions);
  {
    auto lock = store.Lock();
    for (std::string_view key : NewConfigWorkingCopy::StoredKeys()) {
      store.SetConfigText(key, copy.Get(key));
    }
    if (move && effects.relocate_music_folder) effects.relocate_music_folder(folder);
  }
  if (effects.reload_lyric_looks) effects.reload_lyric_looks();
  if (effects.counts_changed) effects.counts_changed();
  return !changed || move;
}

}  // namespace quillo::ui
