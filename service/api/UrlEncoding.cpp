#include "service/api/UrlEncoding.h"

#include "service/http/CHttpEncoderW.h"

namespace quillo::service {

std::string UrlEncode(std::string_view utf8) { return Dravik::CHttpEncoderW::EscapeBytes(utf8); }

}  // namespace quillo::service
