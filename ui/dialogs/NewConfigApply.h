#pragma once
// Applying the settings dialog's working copy ("确定" and "应用", whatever page is shown):
//   1. the autostart entry is registered or removed as the working "sorvel.autorun" says;
//   2. a changed music folder is checked with EnsureFolder (its questions come first, so that
//      no modal box runs while the store is held);
//   3. in one store operation (the store's lock held throughout, so the saver never writes half
//      of it): every stored key of the working copy, and RelocateFolder("music", …) when the
//      folder changed and exists;
//   4. the lyric bar and the lyric window reread their look; the download manager and the play
//      cache take the new counts.
// A folder that cannot be made leaves the music folder where it was; every other key is still
// written. Window thread.
#include <functional>
#include <string>

namespace quillo::store {
class DocumentStore;
}

namespace quillo::ui {

class NewConfigWorkingCopy;
struct FolderQuestions;

struct NewConfigEffects {
  // Registers (true) or removes (false) the autostart entry; may fail silently.
  std::function<void(bool on)> set_autorun;
  // Moves the named folder "music" (the store's lock is held by the caller).
  std::function<void(const std::string& folder)> relocate_music_folder;
  // Each view that exists reads its keys again.
  std::function<void()> reload_lyric_looks;
  // The download manager starts what the new count allows; the play cache keeps its limit.
  std::function<void()> counts_changed;
};

class NewConfigApply {
 public:
  // Answers whether the music folder is the working one afterwards.
  static bool Run(const NewConfigWorkingCopy& copy, store::DocumentStore& store,
                  const FolderQuestions& questions, const NewConfigEffects& effects);
};

}  // namespace quillo::ui
