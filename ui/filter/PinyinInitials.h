#pragma once
// The search box matches typed letters against the pinyin initials of titles and artists; the
// rule itself is display-free and lives in text/, where the store uses it too.
#include "text/PinyinInitials.h"

namespace quillo::ui {

using text::PinyinInitial;
using text::PinyinInitials;

}  // namespace quillo::ui
