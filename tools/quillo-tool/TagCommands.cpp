// tags read FILE, tags write FILE [--title T] [--artist A] [--album B].
#include <ostream>

#include "media/TagInfo.h"
#include "media/WMAInfo.h"
#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"
#include "store/SafeNames.h"
#include "tools/quillo-tool/FileArgument.h"
#include "tools/quillo-tool/TerminalText.h"
#include "tools/quillo-tool/ToolCommand.h"

namespace quillo::tool {
namespace {

bool IsWma(const std::string& path) { return text::ToLowerAscii(store::FileExtension(path)) == ".wma"; }

// A string descriptor's value as text (other types are not shown).
std::string DescriptorText(const media::WMAInfo& wma, std::string_view name) {
  for (const auto& descriptor : wma.descriptors()) {
    if (descriptor.name != name || descriptor.type != 0) continue;
    std::string_view value = descriptor.value;
    while (value.size() >= 2 && value[value.size() - 1] == '\0' && value[value.size() - 2] == '\0') {
      value.remove_suffix(2);
    }
    return text::Utf16LeBytesToUtf8(value);
  }
  return {};
}

// Tag text on one line: line breaks inside a field would break the line format.
std::string OneLine(const std::string& tag) {
  std::string value = Shown(tag);
  for (char& c : value) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return value;
}

int TagsRead(ToolContext& context) {
  if (context.args.size() != 1) {
    context.err << "usage: quillo-tool tags read FILE\n";
    return 1;
  }
  const std::string& path = context.args[0];
  if (!CheckFileArgument(path, FileUse::kRead, context.err)) return 1;
  media::TagInfo info;
  if (IsWma(path)) {
    auto file = media::TagFile::Open(path);
    media::WMAInfo wma;
    int result = file ? wma.Read(*file) : media::WMAInfo::kUnreadable;
    if (result == media::WMAInfo::kUnreadable || result == media::WMAInfo::kNotAsf) {
      context.err << "quillo-tool: " << path << " has no readable WMA header (code " << result << ")\n";
      return 1;
    }
    info.title = wma.title();
    info.artist = wma.author();
    info.album = wma.album();
    info.year = DescriptorText(wma, "WM/Year");
    info.comment = wma.description();
    info.genre = DescriptorText(wma, "WM/Genre");
  } else if (!info.Read(path)) {
    context.err << "quillo-tool: no ID3 tag in " << path << "\n";
    return 1;
  }
  context.out << "title=" << OneLine(info.title) << "\n"
              << "artist=" << OneLine(info.artist) << "\n"
              << "album=" << OneLine(info.album) << "\n"
              << "year=" << OneLine(info.year) << "\n"
              << "comment=" << OneLine(info.comment) << "\n"
              << "genre=" << OneLine(info.genre) << "\n";
  return 0;
}

int TagsWrite(ToolContext& context) {
  const char* usage = "usage: quillo-tool tags write FILE [--title T] [--artist A] [--album B]\n";
  if (context.args.empty() || context.args.size() % 2 == 0) {
    context.err << usage;
    return 1;
  }
  const std::string& path = context.args[0];
  if (!CheckFileArgument(path, FileUse::kReadWrite, context.err)) return 1;
  std::optional<std::string> title, artist, album;
  for (std::size_t i = 1; i + 1 < context.args.size(); i += 2) {
    const std::string& option = context.args[i];
    std::string value = text::SanitizeUtf8(context.args[i + 1]);
    if (option == "--title") {
      title = value;
    } else if (option == "--artist") {
      artist = value;
    } else if (option == "--album") {
      album = value;
    } else {
      context.err << usage;
      return 1;
    }
  }
  if (IsWma(path)) {
    auto file = media::TagFile::Open(path);
    media::WMAInfo wma;
    int result = file ? wma.Read(*file) : media::WMAInfo::kUnreadable;
    if (result != media::WMAInfo::kOk && result != media::WMAInfo::kNoContentDescription &&
        result != media::WMAInfo::kNoExtendedDescription) {
      context.err << "quillo-tool: " << path << " cannot be tagged (WMA code " << result << ")\n";
      return 1;
    }
    for (const auto* value : {&title, &artist, &album}) {
      if (*value && text::CodePointCount(**value) >= media::WMAInfo::kMaxFieldChars) {
        context.err << "quillo-tool: WMA fields hold at most 200 characters\n";
        return 1;
      }
    }
    if (title) wma.SetTitle(*title);
    if (artist) wma.SetAuthor(*artist);
    if (album) wma.SetAlbum(*album);
    if (!wma.Write(*file) || !file->Commit()) {
      context.err << "quillo-tool: cannot write " << path << "\n";
      return 1;
    }
    return 0;
  }
  media::TagInfo info;
  info.Read(path);
  info.path = path;
  if (title) info.title = *title;
  if (artist) info.artist = *artist;
  if (album) info.album = *album;
  if (!info.Write()) {
    context.err << "quillo-tool: cannot write " << path << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

void RegisterTagCommands(CommandList& commands) {
  commands.push_back({"tags read", "FILE", TagsRead, /*needs_store=*/false});
  commands.push_back({"tags write", "FILE [--title T] [--artist A] [--album B]", TagsWrite, /*needs_store=*/false});
}

}  // namespace quillo::tool
