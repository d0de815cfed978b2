#pragma once
// The command line of quillo-service:
//   quillo-service [--port N] [--upload-port M] [--data DIR] [--songs N] [--seed S]
//                  [--no-content-length] [--update-package FILE [--update-version V]]
//                  [--prepare-only]
// Ports default to 0 (a free port); the data folder to $XDG_DATA_HOME/quillo-service/.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillo::stub {

struct ServiceOptions {
  int port = 0;
  int upload_port = 0;
  std::string data_folder;  // ends with '/'
  int songs = 40;
  std::uint32_t seed = 20080808;
  bool omit_content_length = false;
  std::string update_package;
  std::string update_version = "1.3.2";
  bool prepare_only = false;  // make the catalogue and database, then exit
  bool help = false;
};

// No value, with the reason in *error, for unknown options or bad values.
std::optional<ServiceOptions> ParseServiceOptions(const std::vector<std::string>& args,
                                                  std::string* error);
const char* ServiceUsage();

}  // namespace quillo::stub
