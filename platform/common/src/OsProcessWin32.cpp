#include <csignal>
#include <initializer_list>

#include <common/OsProcess.h>

namespace os {

void OnStopRequest(void (*handler)(int)) {
  for (int signal : {SIGINT, SIGTERM, SIGBREAK}) std::signal(signal, handler);
}

}  // namespace os
