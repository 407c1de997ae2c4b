// From the mode button to the received model in place, with the stand-in peer watching the
// exchange folder as Pigmora does:
//   round_trip_bench [QUADS_PER_SIDE] [RUNS]
// Each run presses the first mode button on the host's million-patch grid (send), waits for the
// peer's answer (the peer's own time: from the command being written to its export.txt being
// there), then lets the automatic import's timer tick once a second, as the plug-in sets it, until
// the answer has settled and is received. The plug-in's share is the send, every tick and the
// receive; the rest is the peer and the settle rule's waiting.
#include <afxdisplay.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "GridModel.h"
#include "Plugin/HModelCache.h"
#include "Plugin/HProject.h"
#include "app/PluginState.h"
#include "fbx/FbxContext.h"
#include "receive/ReceiveModel.h"
#include "send/CommandText.h"
#include "send/SendCommand.h"

using namespace pigmora;

// The plug-in's state, built as the application object builds it.
static PluginState* plugin = nullptr;

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kTickPeriod = std::chrono::milliseconds(1000);  // the plug-in's automatic import timer
constexpr auto kPoll = std::chrono::milliseconds(5);

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

struct Run {
  double send = 0, peer = 0, settle = 0, ticks = 0, receive = 0, total = 0;
  double PluginShare() const { return send + ticks + receive; }
};

pid_t StartPeer() {
  const pid_t child = fork();
  if (child == 0) {
    std::freopen("/dev/null", "w", stdout);
    execl(PEER_PATH, "pigmora-peer", "--watch", static_cast<char*>(nullptr));
    _exit(127);
  }
  return child;
}

// One press of the first mode button and everything until the answer is in the project.
bool RoundTrip(HProject& project, const char* modelName, Run& run) {
  const std::filesystem::path answer(plugin->Exchange.exportFile.Get());
  plugin->CurrentTreeObject.Set(project.GetChildObjectCacheContainer()->FindModel(modelName));
  if (!plugin->CurrentTreeObject.Get()) return false;
  const Clock::time_point pressed = Clock::now();
  RunSendCommand(0, plugin->ForSend());
  const Clock::time_point sent = Clock::now();
  run.send = Seconds(sent - pressed);
  Clock::time_point answered{};
  Clock::time_point nextTick = sent + kTickPeriod;
  for (;;) {
    if (answered == Clock::time_point{} && std::filesystem::exists(answer)) answered = Clock::now();
    if (Clock::now() < nextTick) {
      std::this_thread::sleep_for(kPoll);
      continue;
    }
    nextTick += kTickPeriod;
    const Clock::time_point tick = Clock::now();
    const int received = plugin->Receive(ReceiveTrigger::Timer);
    const Clock::time_point done = Clock::now();
    if (!received) {
      run.ticks += Seconds(done - tick);
      if (Seconds(done - sent) > 600) return false;
      continue;
    }
    if (answered == Clock::time_point{}) answered = tick;
    run.peer = Seconds(answered - sent);
    run.settle = Seconds(tick - answered);
    run.receive = Seconds(done - tick);
    run.total = Seconds(done - pressed);
    return true;
  }
}

void PrintRow(const char* label, std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::printf("%-34s min %7.3f s  median %7.3f s\n", label, values.front(), values[values.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
  const int side = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  char pattern[] = "/tmp/pigmora-round-trip-bench-XXXXXX";
  if (side < 2 || !mkdtemp(pattern)) return 2;
  const std::filesystem::path folder = pattern;
  setenv("HASH_REGISTRY_FILE", (folder / "registry.ini").c_str(), 1);
  setenv("HASH_DOCUMENTS_DIR", (folder / "Documents").c_str(), 1);
  AfxEchoMessageBoxesToStandardError();
  plugin = new PluginState;
  plugin->Settings.SetSettingString(Option::ExePath, PEER_PATH);
  if (!plugin->FbxErrorText.IsEmpty()) return 1;
  BenchGridModel(side);  // "Grid" in the current project
  HProject* project = GetHProject();
  std::filesystem::create_directories(std::filesystem::path(plugin->Exchange.exportFile.Get()).parent_path());
  const pid_t peer = StartPeer();
  if (peer < 0) return 1;

  std::printf("round trip of a %d x %d grid, peer watching, timer every %lld ms\n", side, side,
              static_cast<long long>(kTickPeriod.count()));
  std::vector<Run> done;
  bool ok = true;
  for (int i = 0; i < runs && ok; ++i) {
    Run run;
    ok = RoundTrip(*project, "Grid", run);
    if (!ok) break;
    std::printf(
        "run %d: send %.3f s, peer %.3f s, settle %.3f s, receive %.3f s, ticks %.6f s; plug-in %.3f s of "
        "%.3f s\n",
        i + 1, run.send, run.peer, run.settle, run.receive, run.ticks, run.PluginShare(), run.total);
    std::fflush(stdout);
    done.push_back(run);
  }
  kill(peer, SIGTERM);
  int status = 0;
  waitpid(peer, &status, 0);
  plugin->CurrentTreeObject.Set(nullptr);
  delete plugin;
  plugin = nullptr;
  std::filesystem::remove_all(folder);
  if (!ok || done.empty()) {
    std::fprintf(stderr, "round_trip_bench: the answer was not received\n");
    return 1;
  }
  auto column = [&](double Run::*field) {
    std::vector<double> values;
    for (const Run& run : done) values.push_back(run.*field);
    return values;
  };
  std::vector<double> share;
  for (const Run& run : done) share.push_back(run.PluginShare());
  PrintRow("send (plug-in)", column(&Run::send));
  PrintRow("peer's own time", column(&Run::peer));
  PrintRow("settle wait (timer, 1 s rule)", column(&Run::settle));
  PrintRow("receive (plug-in)", column(&Run::receive));
  PrintRow("plug-in's share", share);
  PrintRow("button to model in place", column(&Run::total));
  rusage self{}, children{};
  getrusage(RUSAGE_SELF, &self);
  getrusage(RUSAGE_CHILDREN, &children);
  std::printf("peak memory: host %.0f MB, peer %.0f MB; peer's cpu %.3f s over %zu answers\n", self.ru_maxrss / 1024.0,
              children.ru_maxrss / 1024.0,
              static_cast<double>(children.ru_utime.tv_sec + children.ru_stime.tv_sec) +
                  static_cast<double>(children.ru_utime.tv_usec + children.ru_stime.tv_usec) * 1e-6,
              done.size());
  return 0;
}
