// import PATH..., library list [LIST_ID], pinyin TEXT.
#include <filesystem>
#include <ostream>

#include "media/FolderScanner.h"
#include "media/LocalImport.h"
#include "media/MediaTagAccess.h"
#include "platform/fs/FileSystem.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "tools/quillo-tool/FileArgument.h"
#include "tools/quillo-tool/TerminalText.h"
#include "tools/quillo-tool/ToolCommand.h"
#include "text/PinyinInitials.h"

namespace quillo::tool {
namespace {

std::string Field(const store::MusicRecord& record, const char* name) {
  auto it = record.find(name);
  if (it == record.end()) return {};
  // Into a pipe, tabs and line breaks inside a field become spaces to keep the line format.
  std::string value = Shown(it->second);
  for (char& c : value) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return value;
}

int Import(ToolContext& context) {
  if (context.args.empty()) {
    context.err << "usage: quillo-tool import PATH...\n";
    return 1;
  }
  store::StoreRuntime* runtime = store::StoreRuntime::Instance();
  media::MediaTagAccess tags;
  loop::Subscription tag_access = runtime->library().AttachTagAccess(tags);
  media::LocalImport import(runtime->library(), [&](const std::string& status) {
    context.err << Shown(status, fs::StandardStream::kError) << "\n";
  });
  int status = 0;
  for (const std::string& argument : context.args) {
    // Song ids and file names are made from full paths.
    std::error_code error;
    std::string path = std::filesystem::absolute(argument, error).lexically_normal().string();
    if (error) path = argument;
    if (!CheckFileArgument(path, FileUse::kReadFileOrFolder, context.err)) {
      status = 1;
    } else if (fs::FolderExists(path)) {
      // The walk runs on the scanner's thread, as in the program; we wait for its end.
      media::FolderScanner scanner(context.store->FolderPath("music"), fs::ProgramFolder());
      scanner.AddListener(&import);
      scanner.Start(path);
      scanner.Wait();
    } else if (import.AddFiles({path}) == 0) {
      context.err << "not a music file: " << path << "\n";
    }
  }
  tag_access.Reset();
  context.out << import.found() << " found, " << import.added() << " added\n";
  return status;
}

int LibraryList(ToolContext& context) {
  if (context.args.size() > 1) {
    context.err << "usage: quillo-tool library list [LIST_ID]\n";
    return 1;
  }
  store::StoreRuntime* runtime = store::StoreRuntime::Instance();
  std::vector<store::MusicRecordPtr> records = context.args.empty()
                                                   ? runtime->library().AllRecords()
                                                   : runtime->playlists().ListRecords(context.args[0]);
  for (const store::MusicRecordPtr& pointer : records) {
    const store::MusicRecord& record = *pointer;
    context.out << Field(record, "id") << "\t" << Field(record, "name") << "\t" << Field(record, "artist_name")
                << "\t" << Field(record, "album_name") << "\t" << Field(record, "fileName") << "\n";
  }
  return 0;
}

int Pinyin(ToolContext& context) {
  if (context.args.empty()) {
    context.err << "usage: quillo-tool pinyin TEXT\n";
    return 1;
  }
  std::string joined;
  for (std::size_t i = 0; i < context.args.size(); ++i) joined += (i ? " " : "") + context.args[i];
  context.out << text::PinyinInitials(joined) << "\n";
  return 0;
}

}  // namespace

void RegisterLibraryCommands(CommandList& commands) {
  commands.push_back({"import", "PATH...", Import});
  commands.push_back({"library list", "[LIST_ID]", LibraryList});
  commands.push_back({"pinyin", "TEXT", Pinyin, /*needs_store=*/false});
}

}  // namespace quillo::tool
