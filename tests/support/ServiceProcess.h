#pragma once
// Starts quillo-service for a test: on free loopback ports, with a small catalogue, in its own
// temporary data folder (or one the test gives, to restart a service on the same data). Start()
// waits for the "listening on ..." line; Stop() sends SIGTERM and waits; the destructor stops a
// running service. Also offers a plain HTTP/1.1 client over sockets and typed access to the
// service's test controls (fault rules, request log, catalogue).
//
// Use from one thread. The service gets SIGTERM if the thread that started it ends.
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/TempFolder.h"

namespace quillo::testing {

using NameValues = std::vector<std::pair<std::string, std::string>>;

struct HttpAnswer {
  int status = 0;              // 0: no answer (connection refused or closed before the headers)
  NameValues headers;          // in the order received
  std::string body;
  bool complete = false;       // the whole body arrived (all of Content-Length, or up to close)
  bool has_content_length = false;

  // The first header of the name (compared without case), or empty.
  std::string Header(const std::string& name) const;
};

struct LoggedServiceRequest {
  std::int64_t seq = 0;
  std::string server;  // "main" or "upload"
  std::string method;
  std::string path;
  NameValues query;   // in the order sent
  NameValues form;    // url-encoded bodies, in the order sent
  NameValues headers;
  std::int64_t body_bytes = 0;
  int status = 0;

  std::vector<std::string> FormValues(const std::string& name) const;
  std::string Form(const std::string& name) const;   // first value or empty
  std::string Query(const std::string& name) const;  // first value or empty
  std::string Header(const std::string& name) const;
};

struct ServiceSong {
  std::string id, name, artist_id, artist_name, album_id, album_name;
  std::string format;  // "mp3" or "wma"
  std::int64_t size = 0;
  std::int64_t duration_ms = 0;
  std::string lyric;   // "none", "utf8", "utf8-bom", "gbk"
  std::int64_t lyric_offset_ms = 0;
  bool karaoke = false;
  std::string mirror;  // "none", "qlfss-pair", "http-then-qlfss", "mixed"
  std::string audio_file, lyric_file, karaoke_file;  // absolute paths in the data folder
  std::vector<std::pair<std::int64_t, std::string>> lines;  // sung line starts in the music
};

class ServiceProcess {
 public:
  struct Options {
    int songs = 8;
    std::string data_folder;              // empty: a temporary folder of this object
    std::vector<std::string> extra_args;  // more command-line options
    int start_timeout_ms = 120000;        // covers the first generation of the catalogue
    // Copy the catalogue from a cache beside the executable (made once per build of the
    // service, under a lock shared by parallel test processes) instead of generating it.
    bool reuse_catalogue = true;
  };

  ServiceProcess();
  explicit ServiceProcess(Options options);
  ~ServiceProcess();
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;

  // False with the reason in error() (the service's own messages included).
  bool Start();
  // SIGTERM, then waits up to 15 s (SIGKILL after that). The exit status, or -1.
  int Stop();
  // SIGKILL and reap, as a crash would end it.
  void Kill();
  bool running() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }  // -1 when not running

  int port() const { return port_; }
  int upload_port() const { return upload_port_; }
  std::string base_url() const;     // "http://127.0.0.1:PORT/"
  std::string upload_host() const;  // "127.0.0.1:PORT"
  const std::string& data_folder() const { return data_folder_; }
  const std::string& error() const { return error_; }
  static std::string Executable();

  // Plain HTTP/1.1 with "Connection: close"; target is "/path?query".
  HttpAnswer Get(const std::string& target, const NameValues& headers = {}) const;
  HttpAnswer Post(const std::string& target, const std::string& body,
                  const std::string& content_type, const NameValues& headers = {}) const;
  // An url-encoded form, parameters in the given order.
  HttpAnswer PostForm(const std::string& target, const NameValues& form,
                      const NameValues& headers = {}) const;
  HttpAnswer Upload(const std::string& method, const std::string& target,
                    const std::string& body = {}) const;  // to the upload host
  // Sends the bytes as they are to the main port and reads until the service closes or sends
  // nothing for idle_timeout_ms; then closes the connection.
  HttpAnswer Raw(const std::string& bytes, int idle_timeout_ms = 60000) const;

  // Fault rule from control parameters such as "path=/api/login.php&kind=status&status=500";
  // the rule id, or -1 when the service refused it.
  int AddFault(const std::string& parameters) const;
  void ClearFaults() const;
  void ClearLog() const;
  std::vector<LoggedServiceRequest> RequestLog(std::int64_t since = 0) const;
  std::vector<ServiceSong> Catalogue() const;
  // The raw JSON answer of "/_control?" + parameters.
  std::string Control(const std::string& parameters) const;

  static std::string UrlEncode(const std::string& text);
  // Runs the service with --prepare-only on `folder`; the exit status.
  static int Prepare(const std::string& folder, int songs);
  static std::string EncodeForm(const NameValues& form);

 private:
  bool CopyCachedCatalogue();

  Options options_;
  std::unique_ptr<TempFolder> own_folder_;
  std::string data_folder_;
  std::string error_;
  pid_t pid_ = -1;
  int stdout_fd_ = -1;
  int port_ = 0;
  int upload_port_ = 0;
};

}  // namespace quillo::testing
