#include "support/ServiceProcess.h"

#include "platform/text/TextCodec.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace quillo::testing {
namespace {

constexpr int kIoTimeoutMs = 60000;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Find(const NameValues& pairs, const std::string& name, bool ignore_case) {
  for (const auto& [key, value] : pairs) {
    if (ignore_case ? Lower(key) == Lower(name) : key == name) return value;
  }
  return {};
}

// A small JSON reader for the control answers (objects keep their key order).
struct Json {
  enum Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = kNull;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<Json> items;
  std::vector<std::pair<std::string, Json>> fields;

  const Json& operator[](const std::string& key) const {
    static const Json kMissing;
    for (const auto& [name, value] : fields) {
      if (name == key) return value;
    }
    return kMissing;
  }
  std::int64_t Int() const { return static_cast<std::int64_t>(number); }
};

class JsonReader {
 public:
  explicit JsonReader(const std::string& text) : text_(text) {}

  bool Read(Json* out) {
    if (!Value(out, 0)) return false;
    Space();
    return at_ == text_.size();
  }

 private:
  void Space() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }
  bool Take(char c) {
    Space();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  bool Literal(const char* word) {
    const std::size_t length = std::strlen(word);
    if (text_.compare(at_, length, word) != 0) return false;
    at_ += length;
    return true;
  }
  bool Hex4(std::uint32_t* code) {
    if (at_ + 4 > text_.size()) return false;
    *code = static_cast<std::uint32_t>(std::strtoul(text_.substr(at_, 4).c_str(), nullptr, 16));
    at_ += 4;
    return true;
  }
  bool String(std::string* out) {
    if (!Take('"')) return false;
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') return true;
      if (c != '\\') {
        out->push_back(c);
        continue;
      }
      if (at_ >= text_.size()) return false;
      const char e = text_[at_++];
      switch (e) {
        case 'n': out->push_back('\n'); break;
        case 'r': out->push_back('\r'); break;
        case 't': out->push_back('\t'); break;
        case 'b': out->push_back('\b'); break;
        case 'f': out->push_back('\f'); break;
        case 'u': {
          std::uint32_t code = 0;
          if (!Hex4(&code)) return false;
          if (code >= 0xD800 && code < 0xDC00 && text_.compare(at_, 2, "\\u") == 0) {
            at_ += 2;
            std::uint32_t low = 0;
            if (!Hex4(&low)) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          }
          text::AppendUtf8(*out, static_cast<char32_t>(code));
          break;
        }
        default: out->push_back(e);
      }
    }
    return false;
  }
  bool Value(Json* out, int depth) {
    if (depth > 64) return false;
    Space();
    if (at_ >= text_.size()) return false;
    const char c = text_[at_];
    if (c == '{') {
      ++at_;
      out->kind = Json::kObject;
      if (Take('}')) return true;
      do {
        std::string key;
        Json value;
        if (!String(&key) || !Take(':') || !Value(&value, depth + 1)) return false;
        out->fields.emplace_back(std::move(key), std::move(value));
      } while (Take(','));
      return Take('}');
    }
    if (c == '[') {
      ++at_;
      out->kind = Json::kArray;
      if (Take(']')) return true;
      do {
        Json value;
        if (!Value(&value, depth + 1)) return false;
        out->items.push_back(std::move(value));
      } while (Take(','));
      return Take(']');
    }
    if (c == '"') {
      out->kind = Json::kString;
      return String(&out->text);
    }
    if (Literal("true")) {
      out->kind = Json::kBool;
      out->boolean = true;
      return true;
    }
    if (Literal("false")) {
      out->kind = Json::kBool;
      return true;
    }
    if (Literal("null")) return true;
    char* end = nullptr;
    out->number = std::strtod(text_.c_str() + at_, &end);
    if (end == text_.c_str() + at_) return false;
    out->kind = Json::kNumber;
    at_ = static_cast<std::size_t>(end - text_.c_str());
    return true;
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

Json ParseJson(const std::string& text) {
  Json json;
  JsonReader reader(text);
  if (!reader.Read(&json)) return Json();
  return json;
}

NameValues Pairs(const Json& array) {
  NameValues pairs;
  for (const auto& item : array.items) {
    if (item.items.size() == 2) pairs.emplace_back(item.items[0].text, item.items[1].text);
  }
  return pairs;
}

// One request over a fresh connection; reads until the server closes it.
HttpAnswer Exchange(int port, const std::string& request, int idle_timeout_ms = kIoTimeoutMs) {
  HttpAnswer answer;
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return answer;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return answer;
  }
  std::size_t sent = 0;
  while (sent < request.size()) {
    const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  std::string raw;
  char buffer[65536];
  for (;;) {
    pollfd waiting{fd, POLLIN, 0};
    if (::poll(&waiting, 1, idle_timeout_ms) <= 0) break;
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    raw.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);

  const std::size_t head_end = raw.find("\r\n\r\n");
  if (head_end == std::string::npos) return answer;
  std::istringstream head(raw.substr(0, head_end));
  std::string line;
  std::getline(head, line);
  if (line.rfind("HTTP/1.", 0) != 0 || line.size() < 12) return answer;
  answer.status = std::atoi(line.c_str() + 9);
  while (std::getline(head, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string value = line.substr(colon + 1);
    while (!value.empty() && value.front() == ' ') value.erase(0, 1);
    answer.headers.emplace_back(line.substr(0, colon), value);
  }
  answer.body = raw.substr(head_end + 4);
  const std::string length = answer.Header("Content-Length");
  answer.has_content_length = !length.empty();
  if (answer.has_content_length) {
    const auto expected = static_cast<std::size_t>(std::strtoull(length.c_str(), nullptr, 10));
    answer.complete = answer.body.size() >= expected;
    if (answer.body.size() > expected) answer.body.resize(expected);
  } else {
    answer.complete = true;
  }
  return answer;
}

std::string BuildRequest(const std::string& method, const std::string& target, int port,
                         const NameValues& headers, const std::string* body,
                         const std::string& content_type) {
  std::string request = method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" +
                        std::to_string(port) + "\r\nConnection: close\r\n";
  for (const auto& [name, value] : headers) request += name + ": " + value + "\r\n";
  if (body) {
    if (!content_type.empty()) request += "Content-Type: " + content_type + "\r\n";
    request += "Content-Length: " + std::to_string(body->size()) + "\r\n";
  }
  request += "\r\n";
  if (body) request += *body;
  return request;
}

}  // namespace

std::string HttpAnswer::Header(const std::string& name) const { return Find(headers, name, true); }

std::vector<std::string> LoggedServiceRequest::FormValues(const std::string& name) const {
  std::vector<std::string> values;
  for (const auto& [key, value] : form) {
    if (key == name) values.push_back(value);
  }
  return values;
}

std::string LoggedServiceRequest::Form(const std::string& name) const { return Find(form, name, false); }
std::string LoggedServiceRequest::Query(const std::string& name) const { return Find(query, name, false); }
std::string LoggedServiceRequest::Header(const std::string& name) const {
  return Find(headers, name, true);
}

ServiceProcess::ServiceProcess() : ServiceProcess(Options()) {}

ServiceProcess::ServiceProcess(Options options) : options_(std::move(options)) {
  if (options_.data_folder.empty()) {
    own_folder_ = std::make_unique<TempFolder>();
    data_folder_ = own_folder_->path();
  } else {
    data_folder_ = options_.data_folder;
    if (data_folder_.back() != '/') data_folder_ += '/';
  }
}

ServiceProcess::~ServiceProcess() {
  if (running()) Stop();
}

std::string ServiceProcess::Executable() {
  if (const char* path = std::getenv("QUILLO_SERVICE"); path && *path) return path;
  return QUILLO_SERVICE_EXECUTABLE;
}

int ServiceProcess::Prepare(const std::string& folder, int songs) {
  std::vector<std::string> args = {Executable(), "--data", folder, "--songs", std::to_string(songs),
                                   "--prepare-only"};
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  if (pid < 0) return -1;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool ServiceProcess::CopyCachedCatalogue() {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::exists(data_folder_ + "catalogue/catalogue.stamp", error)) return true;
  for (const auto& arg : options_.extra_args) {
    if (arg == "--seed") return true;  // another catalogue: let the service make it
  }
  // One cache per build of the executable, so a changed generator never meets old files.
  struct stat info {};
  if (::stat(Executable().c_str(), &info) != 0) return false;
  const std::string cache = fs::path(Executable()).parent_path().string() + "/catalogue-cache/" +
                            std::to_string(info.st_mtime) + "-" + std::to_string(info.st_size) +
                            "-songs-" + std::to_string(options_.songs) + "/";
  fs::create_directories(cache, error);
  const int lock = ::open((cache + "lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lock < 0) return false;
  ::flock(lock, LOCK_EX);
  bool ok = fs::exists(cache + "catalogue/catalogue.stamp", error) ||
            Prepare(cache, options_.songs) == 0;
  if (ok) {
    fs::create_directories(data_folder_, error);
    fs::copy(cache + "catalogue", data_folder_ + "catalogue", fs::copy_options::recursive, error);
    ok = !error;
  }
  ::flock(lock, LOCK_UN);
  ::close(lock);
  return ok;
}

bool ServiceProcess::Start() {
  if (running()) return true;
  error_.clear();
  if (options_.reuse_catalogue && !CopyCachedCatalogue()) {
    // Not fatal: the service generates its own catalogue then.
    std::filesystem::remove_all(data_folder_ + "catalogue");
  }
  const std::string log_path = data_folder_ + "service-stderr.log";
  std::vector<std::string> args = {Executable(), "--port", "0", "--upload-port", "0", "--data",
                                   data_folder_, "--songs", std::to_string(options_.songs)};
  args.insert(args.end(), options_.extra_args.begin(), options_.extra_args.end());
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
    error_ = "pipe failed";
    return false;
  }
  const int log_fd = ::open(log_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Only async-signal-safe calls between fork and exec.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(127);
    ::dup2(pipe_fds[1], 1);
    if (log_fd >= 0) ::dup2(log_fd, 2);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(pipe_fds[1]);
  if (log_fd >= 0) ::close(log_fd);
  if (pid < 0) {
    ::close(pipe_fds[0]);
    error_ = "fork failed";
    return false;
  }
  pid_ = pid;
  stdout_fd_ = pipe_fds[0];

  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.start_timeout_ms);
  while (line.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now()).count();
    pollfd waiting{stdout_fd_, POLLIN, 0};
    if (left <= 0 || ::poll(&waiting, 1, static_cast<int>(left)) <= 0) break;
    char buffer[256];
    const ssize_t n = ::read(stdout_fd_, buffer, sizeof buffer);
    if (n <= 0) break;
    line.append(buffer, static_cast<std::size_t>(n));
  }
  if (std::sscanf(line.c_str(), "listening on http://127.0.0.1:%d/ upload 127.0.0.1:%d", &port_,
                  &upload_port_) != 2) {
    std::ifstream log(log_path);
    std::stringstream messages;
    messages << log.rdbuf();
    error_ = "no listening line (got \"" + line + "\"); service said: " + messages.str();
    Kill();
    return false;
  }
  return true;
}

int ServiceProcess::Stop() {
  if (!running()) return -1;
  ::kill(pid_, SIGTERM);
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  pid_t done = 0;
  while ((done = ::waitpid(pid_, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (done == 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
    status = -1;
  }
  pid_ = -1;
  if (stdout_fd_ >= 0) ::close(stdout_fd_);
  stdout_fd_ = -1;
  if (status == -1) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ServiceProcess::Kill() {
  if (!running()) return;
  ::kill(pid_, SIGKILL);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  if (stdout_fd_ >= 0) ::close(stdout_fd_);
  stdout_fd_ = -1;
}

std::string ServiceProcess::base_url() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/";
}

std::string ServiceProcess::upload_host() const { return "127.0.0.1:" + std::to_string(upload_port_); }

HttpAnswer ServiceProcess::Get(const std::string& target, const NameValues& headers) const {
  return Exchange(port_, BuildRequest("GET", target, port_, headers, nullptr, {}));
}

HttpAnswer ServiceProcess::Post(const std::string& target, const std::string& body,
                                const std::string& content_type, const NameValues& headers) const {
  return Exchange(port_, BuildRequest("POST", target, port_, headers, &body, content_type));
}

HttpAnswer ServiceProcess::PostForm(const std::string& target, const NameValues& form,
                                    const NameValues& headers) const {
  return Post(target, EncodeForm(form), "application/x-www-form-urlencoded", headers);
}

HttpAnswer ServiceProcess::Upload(const std::string& method, const std::string& target,
                                  const std::string& body) const {
  const bool post = method == "POST";
  return Exchange(upload_port_, BuildRequest(method, target, upload_port_, {}, post ? &body : nullptr,
                                             post ? "application/octet-stream" : ""));
}

HttpAnswer ServiceProcess::Raw(const std::string& bytes, int idle_timeout_ms) const {
  return Exchange(port_, bytes, idle_timeout_ms);
}

std::string ServiceProcess::Control(const std::string& parameters) const {
  return Get("/_control?" + parameters).body;
}

int ServiceProcess::AddFault(const std::string& parameters) const {
  const Json answer = ParseJson(Control("action=add_rule&" + parameters));
  return answer["ok"].boolean ? static_cast<int>(answer["id"].Int()) : -1;
}

void ServiceProcess::ClearFaults() const { Control("action=clear_rules"); }
void ServiceProcess::ClearLog() const { Control("action=clear_log"); }

std::vector<LoggedServiceRequest> ServiceProcess::RequestLog(std::int64_t since) const {
  const Json answer = ParseJson(Get("/_log?since=" + std::to_string(since)).body);
  std::vector<LoggedServiceRequest> requests;
  for (const auto& item : answer["requests"].items) {
    LoggedServiceRequest request;
    request.seq = item["seq"].Int();
    request.server = item["server"].text;
    request.method = item["method"].text;
    request.path = item["path"].text;
    request.query = Pairs(item["query"]);
    request.form = Pairs(item["form"]);
    request.headers = Pairs(item["headers"]);
    request.body_bytes = item["body_bytes"].Int();
    request.status = static_cast<int>(item["status"].Int());
    requests.push_back(std::move(request));
  }
  return requests;
}

std::vector<ServiceSong> ServiceProcess::Catalogue() const {
  const Json answer = ParseJson(Control("action=catalogue"));
  std::vector<ServiceSong> songs;
  for (const auto& item : answer["songs"].items) {
    ServiceSong song;
    song.id = item["id"].text;
    song.name = item["name"].text;
    song.artist_id = item["artist_id"].text;
    song.artist_name = item["artist_name"].text;
    song.album_id = item["album_id"].text;
    song.album_name = item["album_name"].text;
    song.format = item["format"].text;
    song.size = item["size"].Int();
    song.duration_ms = item["duration_ms"].Int();
    song.lyric = item["lyric"].text;
    song.lyric_offset_ms = item["lyric_offset_ms"].Int();
    song.karaoke = item["karaoke"].boolean;
    song.mirror = item["mirror"].text;
    song.audio_file = item["audio_file"].text;
    song.lyric_file = item["lyric_file"].text;
    song.karaoke_file = item["karaoke_file"].text;
    for (const auto& line : item["lines"].items) {
      if (line.items.size() == 2) song.lines.emplace_back(line.items[0].Int(), line.items[1].text);
    }
    songs.push_back(std::move(song));
  }
  return songs;
}

std::string ServiceProcess::UrlEncode(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u) || c == '-' || c == '_' || c == '.' || c == '~') {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[u >> 4]);
      out.push_back(kHex[u & 0xF]);
    }
  }
  return out;
}

std::string ServiceProcess::EncodeForm(const NameValues& form) {
  std::string body;
  for (const auto& [name, value] : form) {
    if (!body.empty()) body += '&';
    body += UrlEncode(name) + "=" + UrlEncode(value);
  }
  return body;
}

}  // namespace quillo::testing
