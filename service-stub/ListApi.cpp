#include <algorithm>
#include <random>

#include "platform/text/TextUtil.h"
#include "service-stub/Answers.h"
#include "service-stub/ApiHandlers.h"

namespace quillo::stub {
namespace {

constexpr std::size_t kRandomListSize = 10;

bool HasClientId(const Call& call) {
  const std::string id = call.ParamOr("client_id");
  return !id.empty() && id.size() <= 64;
}

// "api/getplaylist.php?client_id=..&id=..": a ranking list, scrambled.
Reply GetChart(ServiceContext& context, const Call& call) {
  if (!HasClientId(call)) return ErrorResult(400, "缺少参数 client_id");
  const std::string id = call.ParamOr("id");
  if (id.empty()) return ErrorResult(400, "缺少参数 id");
  const CatalogueChart* chart = context.catalogue.FindChart(id);
  if (!chart) return ErrorResult(404, "排行榜不存在");
  return DocumentReply(ListDocument(context.catalogue, chart->id, chart->name, chart->song_ids), true);
}

// "api/randommusic.php?type=xml&client_id=..[&group_id=..]": a fresh random pick every call.
Reply RandomList(ServiceContext& context, const Call& call) {
  if (text::ToLowerAscii(call.ParamOr("type")) != "xml") return ErrorResult(400, "参数 type 应为 xml");
  if (!HasClientId(call)) return ErrorResult(400, "缺少参数 client_id");
  const std::string group_id = call.ParamOr("group_id");
  const RandomGroup* group = context.catalogue.FindGroup(group_id);
  if (!group) return ErrorResult(404, "分类不存在");
  auto songs = context.catalogue.SongsInGroup(group->id);
  thread_local std::mt19937 random{std::random_device{}()};
  std::shuffle(songs.begin(), songs.end(), random);
  if (songs.size() > kRandomListSize) songs.resize(kRandomListSize);
  std::vector<std::string> ids;
  for (const auto* song : songs) ids.push_back(song->id);
  return DocumentReply(ListDocument(context.catalogue, group->id, group->name, ids), true);
}

}  // namespace

void RegisterListApi(Router& router) {
  router.Add("*", "/api/getplaylist.php", GetChart);
  router.Add("*", "/api/randommusic.php", RandomList);
}

}  // namespace quillo::stub
