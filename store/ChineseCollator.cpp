#include "store/ChineseCollator.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <unicode/uscript.h>

namespace quillo::store {

struct ChineseCollator::Impl {
  std::unique_ptr<icu::Collator> collator;
};

ChineseCollator::ChineseCollator() : impl_(std::make_unique<Impl>()) {
  UErrorCode status = U_ZERO_ERROR;
  impl_->collator.reset(icu::Collator::createInstance(icu::Locale("zh", "CN"), status));
  if (U_FAILURE(status)) {
    impl_->collator.reset();
    return;
  }
  // Latin text before Chinese, as the desktop's Chinese sort order has it; Chinese by pinyin.
  const int32_t order[] = {USCRIPT_LATIN, USCRIPT_HAN};
  impl_->collator->setReorderCodes(order, 2, status);
}

ChineseCollator::~ChineseCollator() = default;

std::string ChineseCollator::SortKey(std::string_view utf8) const {
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(
      icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
  // Without ICU's data the code point order is the best there is.
  icu::Collator* collator = impl_->collator.get();
  if (collator == nullptr) return std::string(utf8);
  std::string key(64, '\0');
  int32_t length = collator->getSortKey(text, reinterpret_cast<uint8_t*>(key.data()),
                                         static_cast<int32_t>(key.size()));
  if (length > static_cast<int32_t>(key.size())) {
    key.resize(static_cast<std::size_t>(length));
    length = collator->getSortKey(text, reinterpret_cast<uint8_t*>(key.data()), length);
  }
  // The key ends with a zero byte, which is not part of the order.
  key.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
  return key;
}

}  // namespace quillo::store
