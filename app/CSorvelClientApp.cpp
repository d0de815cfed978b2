#include "app/CSorvelClientApp.h"

#include <chrono>
#include <iostream>
#include <ostream>
#include <thread>

#include "app/AppConstants.h"
#include "app/CompanionProgram.h"
#include "app/StartupTimeline.h"
#include "app/HeadlessLoginWindow.h"
#include "app/HeadlessMainWindow.h"
#include "app/SelfUpdate.h"
#include "app/ServiceRuntime.h"
#include "app/SkinChoice.h"
#include "app/WindowedMainWindow.h"
#include "downloads/DownloadManager.h"
#include "media/MediaTagAccess.h"
#include "platform/desktop/DesktopNotifier.h"
#include "platform/ipc/HandOverClient.h"
#include "platform/ipc/HandOverServer.h"
#include "platform/ipc/InstanceNames.h"
#include "platform/ipc/TerminationSignals.h"
#include "platform/loop/LoopTarget.h"
#include "platform/loop/MainLoop.h"
#include "platform/media/GstMediaGraphFactory.h"
#include "platform/process/HeapUse.h"
#include "platform/shell/Autorun.h"
#include "platform/shell/DetachedLauncher.h"
#include "platform/shell/UrlProtocol.h"
#include "playback/CacheManager.h"
#include "playback/PlayCache.h"
#include "playback/VersionCheck.h"
#include "service/api/ServiceEndpoints.h"
#include "service/embedded/DefaultService.h"
#include "service/session/LoginSession.h"
#include "service/session/LoginViews.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"
#include "ui/main/SorvelMainDlg.h"
#include "ui/toolkit/SkinManager.h"
#include "ui/toolkit/UiRuntime.h"

namespace quillo::app {
namespace {

// How long a second instance waits for the running one; it answers as soon as its window
// thread has handled the request, so this only matters when that instance hangs.
constexpr std::chrono::seconds kHandOverTimeout{10};

}  // namespace

CSorvelClientApp::CSorvelClientApp(AppEnvironment environment, std::ostream& output)
    : environment_(std::move(environment)), output_(output) {}

CSorvelClientApp::~CSorvelClientApp() = default;

bool CSorvelClientApp::HandOverCommandLine() {
  if (environment_.command_line.empty()) return false;
  ipc::HandOverMessage message{ipc::HandOverKind::kCommandLine, environment_.command_line};
  return ipc::SendHandOver(ipc::InstanceSocketPath(environment_.data_folder), message,
                           kHandOverTimeout) == ipc::HandOverResult::kHandled;
}

void CSorvelClientApp::RegisterWithDesktop() {
  // Rewritten at every start so that the scheme opens the program that ran last. Failures are
  // silent: the program works without the registration. A registration that already names this
  // program is left as it is (rewriting it costs a start several synced writes).
  if (shell::UrlProtocolIsRegistered(kUrlProtocolName, environment_.executable_path,
                                     kProductName)) {
    return;
  }
  shell::UnregisterUrlProtocol(kUrlProtocolName);
  shell::RegisterUrlProtocol(kUrlProtocolName, environment_.executable_path, 0, kProductName);
}

bool CSorvelClientApp::InitInstance() {
  const StartupTimeline timeline;
  // 2. A running instance takes the command line; its answer means it has handled it.
  if (HandOverCommandLine()) {
    outcome_ = Outcome::kHandedOver;
    return false;
  }

  // 3. Single instance. A lock that cannot be made at all lets this one run as the first.
  instance_lock_ =
      std::make_unique<ipc::SingleInstanceLock>(ipc::InstanceLockPath(environment_.data_folder));
  if (instance_lock_->state() == ipc::SingleInstanceLock::State::kHeldElsewhere) {
    ipc::SendHandOver(ipc::InstanceSocketPath(environment_.data_folder),
                      ipc::HandOverMessage{ipc::HandOverKind::kActivate, {}}, kHandOverTimeout);
    outcome_ = Outcome::kActivatedOther;
    return false;
  }
  // 9. The window system when the run shows windows (GTK on X11); without a display the run
  // stays headless. The runtime outlives every window and the loop's users below.
  std::unique_ptr<ui::UiRuntime> ui_runtime;
  if (!environment_.headless) ui_runtime = ui::UiRuntime::Start(nullptr, nullptr);
  timeline.Mark("window system started");
  // The player's media framework starts beside the store's reading (the window's player waits
  // for it there).
  std::jthread media_start;
  if (ui_runtime) media_start = audio::GstMediaGraphFactory::InitialiseInBackground();
  std::unique_ptr<loop::MainLoop> headless_loop;
  if (!ui_runtime) headless_loop = std::make_unique<loop::MainLoop>();
  loop::MainLoop& loop = ui_runtime ? ui_runtime->loop() : *headless_loop;
  // Listening right away lets a later instance queue its request while this one starts; the
  // requests are served once the main window runs.
  ipc::HandOverServer server(ipc::InstanceSocketPath(environment_.data_folder));
  if (!server.Listen()) {
    output_ << "quillo: cannot listen on " << server.socket_path()
            << "; later starts will not find this instance" << std::endl;
  }

  // 4. Pending update: the script takes over once this process has ended.
  if (HasPendingUpdate(environment_.program_folder)) {
    InstallPendingUpdate(environment_.program_folder, environment_.executable_path,
                         environment_.process_id, [](const std::vector<std::string>& argv) {
                           return shell::LaunchDetached(argv, shell::ChildOutput::kDiscard);
                         });
    outcome_ = Outcome::kUpdateStarted;
    return false;
  }

  // 5. Companion program; 6. URL scheme.
  InstallPendingCompanion(environment_.program_folder);
  RegisterWithDesktop();
  timeline.Mark("desktop registration checked");

  HeadlessMainWindow window(loop, output_);
  // From here on a request to end from outside runs the shutdown below.
  ipc::TerminationSignals signals([&window](int signal_number) {
    window.OnQuitRequest("signal " + std::to_string(signal_number));
  });

  // 7. The store (its saver thread starts here).
  store::StoreRuntime runtime(environment_.data_folder);
  if (!runtime.Open()) {
    window.Report("store: the data file cannot be written in " + environment_.data_folder +
                  "; changes are kept in memory and saving is retried");
  }
  store::DocumentStore& store = runtime.store();
  timeline.Mark("store opened");

  // 8. Autorun default: only when the key is missing altogether.
  if (!store.HasConfig(kAutorunConfigKey)) {
    store.SetConfigText(kAutorunConfigKey, "true");
    shell::RegisterAutorun(kAutorunValueName, {}, environment_.executable_path);
  }

  // 11. Skin: the style chosen last reaches the window toolkit.
  SetCurrentSkinResource(SkinResourceForThemeStyle(store.GetConfigInt(kThemeStyleConfigKey, 0)));
  ui::SkinManager::Instance().SetStyleImage(CurrentSkinResource());

  // The play cache: the files streamed in this run. The library answers the file names of songs
  // it holds no record of from it.
  playback::PlayCache play_cache(store, runtime.library());
  loop::Subscription stream_cache = runtime.library().AttachStreamCache(play_cache);

  // The service client: transport, downloader, fire-and-forget sender, statistics, and the
  // service's addresses, which every part reads when it makes a request.
  ServiceRuntime service_runtime(loop, store);
  service_runtime.StartStatistics();
  const service::ServiceEndpoints configured = service::ConfiguredEndpoints(store);
  if (configured.configured()) service_runtime.endpoints().Set(configured);

  // Downloads: filing writes tags through the library, and the library stops a song's download
  // before it deletes the song. The schedule timer runs from here on; songs start once the
  // service's address is known.
  media::MediaTagAccess tag_access;
  loop::Subscription tags = runtime.library().AttachTagAccess(tag_access);
  downloads::DownloadManager download_manager(loop, runtime, service_runtime.downloader(),
                                              service_runtime.endpoints());
  loop::Subscription download_stopper = runtime.library().AttachDownloadStopper(download_manager);
  download_manager.Start();
  timeline.Mark("service client and downloads made");

  // The login session. Its alerts and the user name are lines of the run's output, and reach
  // the main window while it is open; the automatic log-in with the stored key runs once the
  // service's address is known (at once for a configured service).
  HeadlessLoginWindow login_reporter(window);
  service::LoginViews login_views;
  loop::Subscription login_reporting = login_views.AddWindow(login_reporter);
  service::LoginSession login(runtime, service_runtime.downloader(), service_runtime.sender(),
                              login_views, login_views);

  // 12. The main window (with a display): the player, the play queue and the top parent, each
  // made once for the run.
  std::unique_ptr<WindowedMainWindow> windowed;
  if (ui_runtime) {
    windowed = std::make_unique<WindowedMainWindow>(loop, runtime, service_runtime, play_cache,
                                                    download_manager, window, login, login_views);
    timeline.Mark("player, queue and window parts made");
    const bool opened = windowed->Open();
    timeline.Mark("main window shown");
    if (!opened) {
      window.Report("no main window can be made; running headless");
      windowed.reset();
    }
  }
  if (configured.configured()) login.AutoLoginWithKey();

  // The download finisher; the version check runs once the service's address is known (at
  // once for a configured service). The update notice is a desktop notification, or nothing
  // where the desktop has no notification service.
  std::unique_ptr<desktop::DesktopNotifier> notifier =
      desktop::CreateSessionBusNotifier(std::string(kProductName));
  playback::CacheManager cache_manager(service_runtime.downloader(), notifier.get());
  auto start_version_check = [&](const std::string& base_url) {
    playback::StartVersionCheck(cache_manager, base_url, environment_.program_folder);
  };

  // The service: the configured one, else the embedded stand-in, whose endpoints arrive on the
  // window thread once it is ready (at once: a song's audio is made when first fetched).
  loop::LoopTarget service_target(loop);
  std::unique_ptr<service::EmbeddedService> embedded_service =
      service::StartServiceUnlessConfigured(
          configured.base_url, environment_.program_folder, environment_.data_folder,
          service_target,
          [&window, &windowed, &service_runtime, &login, &start_version_check](const std::optional<service::ServiceEndpoints>& endpoints) {
            if (endpoints) service_runtime.endpoints().Set(*endpoints);
            if (windowed) windowed->OnServiceKnown(endpoints.has_value());
            window.OnServiceEndpoints(endpoints);
            if (endpoints) login.AutoLoginWithKey();
            if (endpoints) start_version_check(endpoints->base_url);
          },
          std::cerr);
  if (configured.configured()) start_version_check(configured.base_url);
  timeline.Mark("service started");

  // 12. The main window's run.
  {
    loop::LoopTarget target(loop);
    server.Start(target, [&window, &windowed](const ipc::HandOverMessage& message) {
      if (windowed && message.kind == ipc::HandOverKind::kQuit) {
        // The window's own shutdown: its geometry is saved, then the run ends.
        window.Report("quit: requested by another instance");
        windowed->Quit();
        return;
      }
      window.HandleHandOver(message);
      if (windowed) windowed->HandleHandOver(message);
    });
    if (!environment_.command_line.empty()) {
      window.OnCommandLine(environment_.command_line);
      if (windowed) windowed->HandleCommandLine(environment_.command_line);
    }
    window.Report("ready");
    // The start's heap rules end here. Its temporary memory (the data file's text, the parse,
    // decoded pictures drawn once) goes back once the window is on the screen, or now for a
    // run without a window.
    process::TuneHeapForLongRun();
    timeline.Mark("main loop entered");
    if (auto* presenter = windowed ? windowed->main_window().presenter() : nullptr) {
      presenter->AfterNextPaint([&timeline] {
        timeline.Mark("main window painted");
        process::ReleaseFreeHeap();
      });
    } else {
      process::ReleaseFreeHeap();
    }
    window.RunModal();
    // No request may arrive while the program shuts down.
    server.Stop();
  }
  // The window, the play queue and the player go before the transfers they use.
  windowed.reset();
  outcome_ = Outcome::kRanMainWindow;

  // Shutdown. Phone views join here once they exist; the downloads stop, every transfer ends;
  // then the embedded service stops (nothing talks to it any more), then the store's final
  // save, with the saver thread stopped before anything is torn down.
  download_manager.CancelAll();
  service_runtime.Shutdown();
  // Cached files of songs that are no longer in the store go now.
  play_cache.PurgeUnowned();
  if (embedded_service) {
    embedded_service->Stop();
    window.Report("service stopped");
  }
  store_saved_at_close_ = runtime.Close();
  window.Report(store_saved_at_close_ ? "store closed: saved" : "store closed: NOT saved");
  return false;
}

}  // namespace quillo::app
