#pragma once
// A conversion of an older document layout to the current one.
#include <tinyxml.h>

namespace quillo::store {

class DocConverterImpl {
 public:
  virtual ~DocConverterImpl() = default;
  // Rewrites the document in place. Called only when Applies answered true.
  virtual void Convert(TiXmlDocument& document) = 0;
  // Whether a document of this version number (a*1000000 + b*1000 + c) needs the conversion.
  virtual bool Applies(long long version_number) const = 0;
};

}  // namespace quillo::store
