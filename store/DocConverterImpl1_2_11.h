#pragma once
// Documents before 1.2.11 stored attribute values, and the lyric files they name, in GBK. This
// conversion re-encodes both as UTF-8.
#include <string>

#include "store/DocConverterImpl.h"

namespace quillo::store {

class DocConverterImpl1_2_11 : public DocConverterImpl {
 public:
  // lyric_folder: where relative `lyric_file` names point (the default lyric folder: the
  // configuration is not read yet while the migration runs).
  explicit DocConverterImpl1_2_11(std::string lyric_folder);

  void Convert(TiXmlDocument& document) override;
  bool Applies(long long version_number) const override;

  // Re-encodes one lyric file from GBK to UTF-8. A file that cannot be read is left alone, and
  // so is a file that already is UTF-8 (it starts with a byte order mark, or it holds non-ASCII
  // text that is well-formed UTF-8): converting it again would garble the user's lyric.
  static bool ConvertLyricFile(const std::string& path);

 private:
  void ConvertElement(TiXmlElement& element);

  long long version_number_;
  std::string lyric_folder_;
};

}  // namespace quillo::store
