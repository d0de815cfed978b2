#include "service-stub/ServiceOptions.h"

#include <cstdlib>

#include "platform/fs/FileSystem.h"
#include "platform/fs/XdgFolders.h"
#include "service-stub/Catalogue.h"

namespace quillo::stub {
namespace {

std::optional<long long> Number(const std::string& text, long long min, long long max) {
  if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  if (value < min || value > max) return std::nullopt;
  return value;
}

}  // namespace

const char* ServiceUsage() {
  return "usage: quillo-service [--port N] [--upload-port M] [--data DIR] [--songs N] [--seed S]\n"
         "                      [--no-content-length] [--update-package FILE [--update-version V]]\n"
         "                      [--prepare-only]\n";
}

std::optional<ServiceOptions> ParseServiceOptions(const std::vector<std::string>& args,
                                                  std::string* error) {
  ServiceOptions options;
  auto fail = [&](const std::string& reason) -> std::optional<ServiceOptions> {
    if (error) *error = reason;
    return std::nullopt;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--prepare-only") {
      options.prepare_only = true;
    } else if (arg == "--no-content-length") {
      options.omit_content_length = true;
    } else if (arg == "--port" || arg == "--upload-port" || arg == "--songs" || arg == "--seed") {
      const auto text = value();
      if (!text) return fail(arg + " needs a value");
      const bool is_port = arg == "--port" || arg == "--upload-port";
      const auto number = is_port            ? Number(*text, 0, 65535)
                          : arg == "--songs" ? Number(*text, 1, Catalogue::kMaxSongs)
                                             : Number(*text, 0, 4294967295LL);
      if (!number) return fail("bad value for " + arg + ": " + *text);
      if (arg == "--port") options.port = static_cast<int>(*number);
      if (arg == "--upload-port") options.upload_port = static_cast<int>(*number);
      if (arg == "--songs") options.songs = static_cast<int>(*number);
      if (arg == "--seed") options.seed = static_cast<std::uint32_t>(*number);
    } else if (arg == "--data" || arg == "--update-package" || arg == "--update-version") {
      const auto text = value();
      if (!text || text->empty()) return fail(arg + " needs a value");
      if (arg == "--data") options.data_folder = fs::WithTrailingSlash(*text);
      if (arg == "--update-package") options.update_package = *text;
      if (arg == "--update-version") options.update_version = *text;
    } else {
      return fail("unknown option " + arg);
    }
  }
  if (options.data_folder.empty()) options.data_folder = fs::XdgDataHome() + "quillo-service/";
  return options;
}

}  // namespace quillo::stub
