// quillo-service: the stand-in music service. Prepares its catalogue and database in the data
// folder, listens on 127.0.0.1, prints "listening on http://127.0.0.1:PORT/ upload
// 127.0.0.1:UPLOADPORT" when ready and runs until SIGTERM or SIGINT.
#include <signal.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "service-stub/CatalogueBuilder.h"
#include "service-stub/Database.h"
#include "service-stub/ServiceOptions.h"
#include "service-stub/ServiceServer.h"
#include "service-stub/ShutdownSignal.h"
#include "service-stub/SongRenderer.h"
#include "service-stub/UserStore.h"

using namespace quillo;
using namespace quillo::stub;

namespace {

// One write per line: renders note from several threads.
void Note(const std::string& text) { std::cerr << ("quillo-service: " + text + "\n") << std::flush; }

int Fail(const std::string& text) {
  Note(text);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  // Signals are taken by sigwait below; every thread started from here inherits the mask.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  std::string error;
  const auto options = ParseServiceOptions(std::vector<std::string>(argv + 1, argv + argc), &error);
  if (!options) {
    std::cerr << "quillo-service: " << error << "\n" << ServiceUsage();
    return 2;
  }
  if (options->help) {
    std::cout << ServiceUsage();
    return 0;
  }
  const std::string& data = options->data_folder;
  const std::string uploads = data + "uploads/";
  if (!fs::CreateFolders(data) || !fs::CreateFolders(uploads)) return Fail("cannot create " + data);

  CatalogueBuilder builder(Note);
  CatalogueRequest request;
  request.data_folder = data;
  request.songs = options->songs;
  request.seed = options->seed;
  const auto catalogue = builder.Prepare(request, &error);
  if (!catalogue) return Fail("cannot prepare the catalogue: " + error);
  // A song's audio is rendered when it is first fetched, two songs at a time at most.
  const int cores = static_cast<int>(std::min(2u, std::max(1u, std::thread::hardware_concurrency())));
  SongRenderer songs(*catalogue, CatalogueBuilder::CatalogueFolder(data), cores, Note);

  auto database = Database::Open(data + "service.db", &error);
  if (!database) return Fail("cannot open the database: " + error);
  UserStore users(*database);
  if (!users.Initialise(*catalogue, &error)) return Fail("cannot prepare the database: " + error);
  if (options->prepare_only) {
    // Preparing ahead (tests, packages) makes everything, the audio included.
    if (!songs.RenderAll(cores, &error)) return Fail("cannot render the songs: " + error);
    return 0;
  }

  FaultRules faults;
  RequestLog log;
  UpdatePackage update;
  if (!options->update_package.empty()) {
    if (!fs::FileExists(options->update_package)) return Fail("no such file " + options->update_package);
    update.Set(options->update_package, options->update_version);
  }
  ServiceContext context{*catalogue, songs, users, faults, log, update,
                         CatalogueBuilder::CatalogueFolder(data), uploads, std::string(), std::string()};
  ServiceServer server(context, options->omit_content_length);
  if (!server.Start(options->port, options->upload_port, &error)) return Fail(error);
  std::printf("listening on http://127.0.0.1:%d/ upload 127.0.0.1:%d\n", server.port(),
              server.upload_port());
  std::fflush(stdout);

  int signal_number = 0;
  while (sigwait(&stop_signals, &signal_number) != 0) {
  }
  ShutdownSignal::Instance().Trigger();
  server.Stop();
  Note("stopped");
  return 0;
}
