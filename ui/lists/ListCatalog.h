#pragma once
// The fixed categories of the playlist panel and the song list: the row ids of the first page,
// the random-listening groups and the ranking lists with their names, menu command ids and the
// ids the service knows them by, the grouping ids of the library row, the command ids of the
// list menus, and the addresses the service lists are fetched from.
//
// Pure data and functions; any thread.
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quillo::ui::lists {

// ---- Row ids of the first page ---------------------------------------------------------------
inline constexpr std::string_view kTitleRowId = "_TITLE_";
inline constexpr std::string_view kRecentListId = "t_latest";
inline constexpr std::string_view kRandomRowInitialId = "t_random";
inline constexpr std::string_view kRankRowInitialId = "t_rank";
inline constexpr std::string_view kRandomAllListId = "t_random_";
inline constexpr std::string_view kRandomListPrefix = "t_random_";
inline constexpr std::string_view kRankListPrefix = "t_rank_";
inline constexpr std::string_view kLocalListId = "local";
inline constexpr std::string_view kLibraryListId = "";
inline constexpr std::string_view kArtistsGroupingId = "m_artists";
inline constexpr std::string_view kAlbumsGroupingId = "m_albums";
inline constexpr std::string_view kFilterListId = "t__filter";

inline constexpr const char* kRecentName = "最近播放";
inline constexpr const char* kRandomName = "随便听听";
inline constexpr const char* kRankName = "排行榜";
inline constexpr const char* kLocalName = "本地曲库";
inline constexpr const char* kLibraryAllName = "[全部]";
inline constexpr const char* kLibraryArtistsName = "[歌手]";
inline constexpr const char* kLibraryAlbumsName = "[专辑]";

// ---- Command ids -------------------------------------------------------------------------------
inline constexpr int kGroupAllCommand = 33082;      // "全部歌曲"
inline constexpr int kGroupArtistsCommand = 33083;  // "歌手"
inline constexpr int kGroupAlbumsCommand = 33084;   // "专辑"
// Play and sort are the shared ones of playback/MenuCommands.h.
inline constexpr int kSongInfoCommand = 33043;      // "查看歌曲信息"
inline constexpr int kArtistInfoCommand = 33044;    // "查看歌手信息"
inline constexpr int kFirstRandomCommand = 32968;
inline constexpr int kLastRandomCommand = 32981;
inline constexpr int kFirstRankCommand = 33019;
inline constexpr int kLastRankCommand = 33030;
inline constexpr int kRandomAllCommand = 32968;  // the chosen group at start
inline constexpr int kDefaultRankCommand = 33019;

// The pages of the playlist panel (buttons 24, 25 and 26 of the main window).
enum class PanelPage { kLists = 0, kRandom = 2, kRanking = 3 };

// The kind of the list shown, for the header buttons above the song list.
enum class ListKind { kRecent, kRandom, kRanking, kOther };

// One random-listening group or ranking list.
struct ServiceListEntry {
  std::string_view list_id;     // "t_random_3", "t_rank_1"
  std::string_view name;        // "华人女歌手", "Zelbo热门歌曲排行"
  int menu_id = 0;              // 32970, 33019
  std::string_view service_id;  // "3", "1"; empty for the all-groups entry
};

// The 11 random groups and the 12 ranking lists, in the order of their pages and menus.
std::span<const ServiceListEntry> RandomGroups();
std::span<const ServiceListEntry> RankingLists();

// The entry of a menu command id, or none.
std::optional<ServiceListEntry> RandomGroupByCommand(int menu_id);
std::optional<ServiceListEntry> RankingByCommand(int menu_id);
// The entry of a list id ("t_random_" is the all-groups entry), or none.
std::optional<ServiceListEntry> RandomGroupByListId(std::string_view list_id);
std::optional<ServiceListEntry> RankingByListId(std::string_view list_id);

// The list id a menu command makes the random (ranking) row show: "t_random_" + group id, or
// "t_random_" for the all-groups entry; "t_rank_" + service id.
std::string RandomListIdOfCommand(const ServiceListEntry& entry);
std::string RankListIdOfCommand(const ServiceListEntry& entry);

// The name shown as the title for a service list id (the map the panel keeps), or none.
std::optional<std::string> ServiceListName(std::string_view list_id);

bool IsRandomListId(std::string_view list_id);
bool IsRankListId(std::string_view list_id);
bool IsTemporaryListId(std::string_view list_id);
bool IsDeviceListId(std::string_view list_id);

// The address a temporary list is fetched from: a random list (the group id is the text after
// the first nine characters of the list id; none for "t_random_") or a ranking list (the text
// after "t_rank_"). Empty for any other id. base_url ends in '/'.
std::string TemporaryListUrl(std::string_view base_url, std::string_view client_id,
                             std::string_view list_id);

}  // namespace quillo::ui::lists
