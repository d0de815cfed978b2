#include "platform/ipc/TerminationSignals.h"

#include <glib-unix.h>
#include <glib.h>

#include <csignal>

namespace quillo::ipc {

struct TerminationSignals::Watch {
  TerminationSignals* owner;
  int signal_number;
  guint source_id;
};

TerminationSignals::TerminationSignals(std::function<void(int)> on_signal)
    : on_signal_(std::move(on_signal)) {
  std::signal(SIGPIPE, SIG_IGN);
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
    auto watch = std::make_unique<Watch>(Watch{this, signal_number, 0});
    watch->source_id = g_unix_signal_add(
        signal_number,
        [](gpointer data) -> gboolean {
          auto* fired = static_cast<Watch*>(data);
          fired->owner->on_signal_(fired->signal_number);
          return G_SOURCE_CONTINUE;
        },
        watch.get());
    watches_.push_back(std::move(watch));
  }
}

TerminationSignals::~TerminationSignals() {
  for (const auto& watch : watches_) {
    if (watch->source_id != 0) g_source_remove(watch->source_id);
  }
}

}  // namespace quillo::ipc
