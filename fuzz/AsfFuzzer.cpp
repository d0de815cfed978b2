// The tags of WMA files (the ASF header's description objects): read, changed and written as
// MediaTagAccess does, and read back: the fields set come back as set, the fields not set come
// back as they were, and the rest of the file follows the new header unchanged. Inputs are
// padded beyond the smallest file the reader accepts (with room for a header that shrinks), so
// the fuzzer works on the header.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "TagFileFixture.h"
#include "media/WMAInfo.h"
#include "platform/text/TextCodec.h"

namespace {

// Text compared across a write: a field whose bytes were not whole UTF-16 (an odd length) can
// decode to text that ends in U+0000, and once written with a terminator the read drops those.
std::string WithoutTrailingNuls(std::string text) {
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using quillo::media::WMAInfo;
  quillo::fuzz::FuzzInput input(data, size);
  const std::uint8_t mode = input.Byte();
  const std::string title = quillo::text::SanitizeUtf8(input.Text());
  const std::string author = quillo::text::SanitizeUtf8(input.Text());
  const std::string album = quillo::text::SanitizeUtf8(input.Text());
  std::string original = input.Rest();
  constexpr std::size_t kPadded = WMAInfo::kMinFileBytes + 8192;
  if (original.size() < kPadded) original.resize(kPadded, '\x5A');

  quillo::media::TagFile file = quillo::fuzz::TagFileWith(original);
  WMAInfo wma;
  const int result = wma.Read(file);
  FUZZ_CHECK(result >= WMAInfo::kOk && result <= WMAInfo::kNotAsf);
  for (const std::string* field : {&wma.title(), &wma.author(), &wma.rights(), &wma.description(),
                                   &wma.album()}) {
    FUZZ_CHECK(quillo::text::IsValidUtf8(*field));
  }
  if (result != WMAInfo::kOk && result != WMAInfo::kNoContentDescription &&
      result != WMAInfo::kNoExtendedDescription) {
    return 0;
  }
  const WMAInfo before = wma;
  if (mode & 1) wma.SetTitle(title);
  if (mode & 2) wma.SetAuthor(author);
  if (mode & 4) wma.SetAlbum(album);
  const std::string expected_title = wma.title(), expected_author = wma.author(),
                    expected_album = wma.album();
  if (!wma.Write(file)) return 0;
  const std::string written = *file.Contents();

  quillo::media::TagFile reread_file = quillo::fuzz::TagFileWith(written);
  WMAInfo reread;
  const int again = reread.Read(reread_file);
  FUZZ_CHECK(again == WMAInfo::kOk || again == WMAInfo::kNoContentDescription ||
             again == WMAInfo::kNoExtendedDescription);
  FUZZ_CHECK(WithoutTrailingNuls(reread.title()) == WithoutTrailingNuls(expected_title));
  FUZZ_CHECK(WithoutTrailingNuls(reread.author()) == WithoutTrailingNuls(expected_author));
  FUZZ_CHECK(WithoutTrailingNuls(reread.rights()) == WithoutTrailingNuls(before.rights()));
  FUZZ_CHECK(WithoutTrailingNuls(reread.description()) == WithoutTrailingNuls(before.description()));
  if (!expected_album.empty()) {
    FUZZ_CHECK(WithoutTrailingNuls(reread.album()) == WithoutTrailingNuls(expected_album));
  }

  // What follows the header is the old file's, byte for byte.
  std::uint64_t old_size = 0, new_size = 0;
  for (std::size_t i = 8; i-- > 0;) {
    old_size = old_size << 8 | static_cast<unsigned char>(original[16 + i]);
    new_size = new_size << 8 | static_cast<unsigned char>(written[16 + i]);
  }
  FUZZ_CHECK(new_size <= written.size());
  FUZZ_CHECK(written.size() - new_size == original.size() - old_size);
  FUZZ_CHECK(written.compare(new_size, std::string::npos, original, old_size) == 0);
  return 0;
}
