#pragma once
// The application object: the whole life of the program, from the single-instance gate to the
// orderly shutdown.
//
// InitInstance runs on the process's main thread, which becomes the window thread. The gate (a
// running instance takes the command line or shows itself, a pending update is installed) may
// end the run before anything is opened; otherwise the program registers itself, opens the
// store and runs the main window until it closes, then shuts down in a fixed order. Until the
// main window exists the run is headless: HeadlessMainWindow serves the hand-over socket and the
// store until another instance asks it to quit or SIGTERM, SIGINT or SIGHUP arrives.
//
// The graphics library check that comes first on the other system has no counterpart here
// (the drawing libraries are linked in), and so has the window class registration: the GTK
// window needs no class, and later instances find this one through the hand-over socket.
#include <iosfwd>
#include <memory>
#include <string>

#include "platform/ipc/SingleInstanceLock.h"

namespace quillo::app {

struct AppEnvironment {
  std::string executable_path;  // full path of the running program
  std::string program_folder;   // its folder, ending with '/'
  std::string data_folder;      // the store's folder, ending with '/'
  std::string command_line;     // text to hand over or to give the main window; may be empty
  long process_id = 0;
  // Run without the main window: asked for, or no display to show it on.
  bool headless = true;
};

class CSorvelClientApp {
 public:
  enum class Outcome {
    kNotStarted,
    kHandedOver,      // a running instance took the command line
    kActivatedOther,  // a running instance was asked to show itself
    kUpdateStarted,   // the update script runs; this process ends
    kRanMainWindow,   // the main window ran and the program shut down
  };

  CSorvelClientApp(AppEnvironment environment, std::ostream& output);
  ~CSorvelClientApp();

  // Runs the sequence; answers false on every path, as the framework expects.
  bool InitInstance();

  Outcome outcome() const { return outcome_; }
  // Whether the final save at shutdown reached the disk.
  bool store_saved_at_close() const { return store_saved_at_close_; }

 private:
  bool HandOverCommandLine();
  void RegisterWithDesktop();
  void RunMainWindow();

  AppEnvironment environment_;
  std::ostream& output_;
  Outcome outcome_ = Outcome::kNotStarted;
  bool store_saved_at_close_ = false;
  // Held until the process ends, as the named mutex is.
  std::unique_ptr<ipc::SingleInstanceLock> instance_lock_;
};

}  // namespace quillo::app
