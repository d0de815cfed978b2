#include "web/PageKeyFilter.h"

namespace quillo::web {

PageKeyFilter::Verdict PageKeyFilter::Judge(unsigned keyval, bool escape_closes) {
  if (keyval == kEscape) return escape_closes ? Verdict::kClose : Verdict::kKeep;
  if ((keyval >= kF1 && keyval <= kF12) || keyval == kControlLeft || keyval == kControlRight) {
    return Verdict::kKeep;
  }
  return Verdict::kToPage;
}

}  // namespace quillo::web
