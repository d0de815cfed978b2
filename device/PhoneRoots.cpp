#include "device/PhoneRoots.h"

#include "platform/fs/FileSystem.h"

namespace quillo::device {
namespace {

// True when any step between '/' or '\' is "..".
bool HasParentStep(std::string_view path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = path.size();
    if (path.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

PhoneRoots::PhoneRoots(std::string_view card_root, std::string_view phone_root)
    : card_root_(fs::WithTrailingSlash(card_root)),
      phone_root_(phone_root.empty() ? card_root_ : fs::WithTrailingSlash(phone_root)) {}

bool PhoneRoots::IsBelow(std::string_view root, std::string_view path) {
  if (root.empty() || HasParentStep(path)) return false;
  if (path.size() + 1 == root.size() && root.substr(0, path.size()) == path) return true;
  return path.substr(0, root.size()) == root;
}

std::optional<std::string> PhoneRoots::ToComputer(std::string_view phone_path) const {
  if (phone_path.size() < 2 || !IsAsciiLetter(phone_path[0]) || phone_path[1] != ':') {
    return std::nullopt;
  }
  const bool card = !two_drives() || phone_path[0] == 'E' || phone_path[0] == 'e';
  std::string rest(phone_path.substr(2));
  for (char& c : rest) {
    if (c == '\\') c = '/';
  }
  // A path must not name a drive's root or sneak back above it.
  std::size_t skip = rest.find_first_not_of('/');
  if (skip == std::string::npos || HasParentStep(rest) || rest.find('\0') != std::string::npos) {
    return std::nullopt;
  }
  std::string path = (card ? card_root_ : phone_root_) + rest.substr(skip);
  return path;
}

std::optional<std::string> PhoneRoots::ToPhone(std::string_view computer_path) const {
  std::string_view root;
  std::string letter;
  if (two_drives() && IsBelow(card_root_, computer_path)) {
    root = card_root_;
    letter = "E:\\";
  } else if (IsBelow(phone_root_, computer_path)) {
    root = phone_root_;
    letter = "C:\\";
  } else {
    return std::nullopt;
  }
  if (computer_path.size() <= root.size()) return std::nullopt;
  std::string rest(computer_path.substr(root.size()));
  for (char& c : rest) {
    if (c == '/') c = '\\';
  }
  return letter + rest;
}

}  // namespace quillo::device
