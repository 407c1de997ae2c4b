#include <signal.h>

#include <initializer_list>

#include <common/OsProcess.h>

namespace os {

void OnStopRequest(void (*handler)(int)) {
  struct sigaction stop {};
  stop.sa_handler = handler;
  sigemptyset(&stop.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &stop, nullptr);
}

}  // namespace os
