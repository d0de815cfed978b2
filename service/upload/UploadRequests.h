#pragma once
// The upload host's requests and the reading of its short answers.
//
// Answers come from outside: the readers accept any bytes and never read past the text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillo::service {

// "/api/upload.php?action=start"
std::string UploadStartPath();
// "/api/upload.php?action=send&id=" + id + "&seek=" + offset. Bytes of the id outside the
// unreserved URL characters are percent-encoded so that a strange id cannot add parameters.
std::string UploadSendPath(std::string_view upload_id, std::uint64_t offset);
// "/api/upload.php?action=end&id=" + id, encoded as above.
std::string UploadEndPath(std::string_view upload_id);

// The text between the first "id:'" and the first "'}" after it; empty when either is missing.
std::string UploadIdFromAnswer(std::string_view answer);

// The byte count after the first "file_length:", up to the next "}" (or the end of the answer).
// Leading blanks are skipped and the count ends at the first non-digit. An answer without the
// marker or without digits counts 0 (the host holds nothing). A count that does not fit in 63
// bits or is negative is no answer at all: nothing.
std::optional<std::uint64_t> FileLengthFromAnswer(std::string_view answer);

}  // namespace quillo::service
