#pragma once
// Forward declarations of the store's types, for headers that only name them.
namespace quillo::store {

class ChineseCollator;
class DeviceListSource;
class DocMusicActionListener;
class DocumentStore;
class DownloadStopper;
class MusicLibrary;
class PlaylistIndex;
class Playlists;
class ServiceAnswers;
class SongTagAccess;
class StoreRuntime;
class StoreSection;
class StreamCacheLookup;
class WindowGeometry;
struct ConfigKeyInfo;
struct ListDocument;
struct PlaylistInfo;
struct Rect;
struct SongTags;
struct UserInfo;

}  // namespace quillo::store
