#pragma once
// Device and device-list ids. A device id is a short token of hexadecimal digits made from the
// card's mount root, so the same card mounted at the same place always gets the same id, and it
// never holds '_' or '-': list ids are "d_<device>_<part>" and are split at the first '_' after
// "d_". Pure text; any thread.
#include <string>
#include <string_view>

namespace quillo::device {

// Eight lower-case hexadecimal digits of the MD5 digest of the card root (with its final '/').
std::string DeviceToken(std::string_view card_root);

// The text between "d_" and the next '_'; empty when the id is not of that form.
std::string DeviceIdOf(std::string_view id);

// "d_<device>_": the all-songs list; "d_<device>_<part>": another list of the device.
std::string AllSongsListId(std::string_view device_id);
std::string DeviceListId(std::string_view device_id, std::string_view part);
bool IsAllSongsListId(std::string_view id);

// The id of a list read from the phone: its part is the MD5 digest of the name made lower case.
std::string ListIdForName(std::string_view device_id, std::string_view name);

}  // namespace quillo::device
