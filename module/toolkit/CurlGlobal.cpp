// libcurl's global initialisation (see CurlGlobal.h).
#include "toolkit/CurlGlobal.h"

#include <curl/curl.h>

namespace tabrik::toolkit {

void ensureCurlGlobal() {
  static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  (void)initialised;
}

}  // namespace tabrik::toolkit
