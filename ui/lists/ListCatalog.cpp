#include "ui/lists/ListCatalog.h"

#include <array>

namespace quillo::ui::lists {
namespace {

constexpr std::array<ServiceListEntry, 11> kRandomGroups{{
    {"t_random_0", "全部", 32968, ""},
    {"t_random_1", "华人男歌手", 32969, "1"},
    {"t_random_3", "华人女歌手", 32970, "3"},
    {"t_random_4", "华人组合", 32981, "4"},
    {"t_random_8", "日本歌手", 32975, "8"},
    {"t_random_9", "韩国歌手", 32974, "9"},
    {"t_random_10", "欧美歌手", 32976, "10"},
    {"t_random_11", "影视歌曲", 32977, "11"},
    {"t_random_13", "DJ舞曲", 32978, "13"},
    {"t_random_14", "动漫游戏", 32979, "14"},
    {"t_random_15", "其他", 32980, "15"},
}};

constexpr std::array<ServiceListEntry, 12> kRankingLists{{
    {"t_rank_1", "Zelbo热门歌曲排行", 33019, "1"},
    {"t_rank_2", "Zelbo新歌排行", 33020, "2"},
    {"t_rank_4", "日文歌曲排行", 33021, "4"},
    {"t_rank_5", "韩文歌曲排行", 33022, "5"},
    {"t_rank_3", "欧美歌曲排行", 33023, "3"},
    {"t_rank_6", "经典老歌", 33024, "6"},
    {"t_rank_21", "百度MP3最新金曲", 33025, "21"},
    {"t_rank_31", "百度MP3热门音乐", 33026, "31"},
    {"t_rank_11", "钱柜华语歌曲总排行", 33027, "11"},
    {"t_rank_12", "钱柜粤语歌曲总排行", 33028, "12"},
    {"t_rank_13", "钱柜华语新歌排行", 33029, "13"},
    {"t_rank_14", "钱柜粤语新歌排行", 33030, "14"},
}};

template <typename Pred>
std::optional<ServiceListEntry> Find(std::span<const ServiceListEntry> entries, Pred pred) {
  for (const ServiceListEntry& e : entries) {
    if (pred(e)) return e;
  }
  return std::nullopt;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::span<const ServiceListEntry> RandomGroups() {
  return kRandomGroups;
}
std::span<const ServiceListEntry> RankingLists() {
  return kRankingLists;
}

std::optional<ServiceListEntry> RandomGroupByCommand(int menu_id) {
  return Find(kRandomGroups, [&](const ServiceListEntry& e) { return e.menu_id == menu_id; });
}

std::optional<ServiceListEntry> RankingByCommand(int menu_id) {
  return Find(kRankingLists, [&](const ServiceListEntry& e) { return e.menu_id == menu_id; });
}

std::optional<ServiceListEntry> RandomGroupByListId(std::string_view list_id) {
  // The all-groups entry is reached from the menu as "t_random_" and from its page as
  // "t_random_0".
  if (list_id == kRandomAllListId) return kRandomGroups[0];
  return Find(kRandomGroups, [&](const ServiceListEntry& e) { return e.list_id == list_id; });
}

std::optional<ServiceListEntry> RankingByListId(std::string_view list_id) {
  return Find(kRankingLists, [&](const ServiceListEntry& e) { return e.list_id == list_id; });
}

std::string RandomListIdOfCommand(const ServiceListEntry& entry) {
  return std::string(kRandomListPrefix) + std::string(entry.service_id);
}

std::string RankListIdOfCommand(const ServiceListEntry& entry) {
  return std::string(kRankListPrefix) + std::string(entry.service_id);
}

std::optional<std::string> ServiceListName(std::string_view list_id) {
  if (auto e = RandomGroupByListId(list_id)) return std::string(e->name);
  if (auto e = RankingByListId(list_id)) return std::string(e->name);
  return std::nullopt;
}

bool IsRandomListId(std::string_view list_id) {
  return StartsWith(list_id, kRandomListPrefix);
}
bool IsRankListId(std::string_view list_id) {
  return StartsWith(list_id, kRankListPrefix);
}
bool IsTemporaryListId(std::string_view list_id) {
  return StartsWith(list_id, "t_");
}
bool IsDeviceListId(std::string_view list_id) {
  return StartsWith(list_id, "d_");
}

std::string TemporaryListUrl(std::string_view base_url, std::string_view client_id,
                             std::string_view list_id) {
  std::string base(base_url);
  if (IsRandomListId(list_id)) {
    std::string url = base + "api/randommusic.php?type=xml&client_id=" + std::string(client_id);
    std::string_view group = list_id.substr(kRandomListPrefix.size());
    // The page row of all groups is "t_random_0"; the service knows no group "0".
    if (!group.empty() && group != "0") url += "&group_id=" + std::string(group);
    return url;
  }
  if (IsRankListId(list_id)) {
    std::string_view id = list_id.substr(kRankListPrefix.size());
    if (id.empty()) return {};
    return base + "api/getplaylist.php?client_id=" + std::string(client_id) +
           "&id=" + std::string(id);
  }
  return {};
}

}  // namespace quillo::ui::lists
