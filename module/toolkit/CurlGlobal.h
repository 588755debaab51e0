// libcurl's process-wide set-up, done once, on the first transfer (the host's main
// thread), and left in place until the process ends.
#pragma once

namespace tabrik::toolkit {

void ensureCurlGlobal();

}  // namespace tabrik::toolkit
