#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <common/OsFiles.h>
#include <common/OsModules.h>

#include "ModuleRegistry.h"
#include "TimerQueue.h"
#include "afxhost.h"
#include "afxmodule.h"
#include "common/EntryGuard.h"

namespace afx {

namespace {

// Module states that exist, in creation order; the last one still loading
// (attach not yet run) is the one being loaded.
std::vector<AFX_MODULE_STATE*>& LiveModules() {
  static std::vector<AFX_MODULE_STATE*> modules;
  return modules;
}

AFX_MODULE_STATE* g_currentState = nullptr;

std::function<void(const char*, const char*)>& TraceHook() {
  static std::function<void(const char*, const char*)> hook;
  return hook;
}

std::string ExecutablePath() { return os::ExecutablePath(); }

}  // namespace

AFX_MODULE_STATE& ProcessModuleState() {
  static AFX_MODULE_STATE state(FALSE);
  return state;
}

AFX_MODULE_STATE* ModuleBeingLoaded() {
  for (auto it = LiveModules().rbegin(); it != LiveModules().rend(); ++it)
    if ((*it)->m_nAttachState == AFX_MODULE_STATE::notAttached) return *it;
  return nullptr;
}

AFX_MODULE_STATE& ModuleForNewApplication() {
  if (AFX_MODULE_STATE* loading = ModuleBeingLoaded()) return *loading;
  return *AfxGetModuleState();
}

void Trace(const char* event, const AFX_MODULE_STATE& state) {
  if (TraceHook()) TraceHook()(event, state.m_strModulePath.c_str());
}

std::string ModuleBaseName(const AFX_MODULE_STATE& state) {
  std::string name = state.m_strModulePath.substr(state.m_strModulePath.find_last_of(os::kPathSeparators) + 1);
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

}  // namespace afx

AFX_MODULE_STATE::AFX_MODULE_STATE(BOOL bDLL) : m_bDLL(bDLL) {
  if (!bDLL) {
    m_strModulePath = afx::ExecutablePath();
    return;
  }
  // A module's state lives in the module itself, so its address names the module.
  const void* base = nullptr;
  std::string path;
  if (os::ModuleOfAddress(this, base, path) && !path.empty()) {
    m_strModulePath = path;
    m_hCurrentInstanceHandle = static_cast<HINSTANCE>(const_cast<void*>(base));
    m_hCurrentResourceHandle = m_hCurrentInstanceHandle;
  }
  afx::LiveModules().push_back(this);
  afx::Trace("state-created", *this);
}

AFX_MODULE_STATE::~AFX_MODULE_STATE() {
  if (!m_bDLL) return;
  if (m_hCurrentInstanceHandle) afx::TimerQueue::Instance().KillTimersInModule(m_hCurrentInstanceHandle);
  if (afx::g_currentState == this) afx::g_currentState = nullptr;
  auto& modules = afx::LiveModules();
  modules.erase(std::remove(modules.begin(), modules.end(), this), modules.end());
  afx::Trace("state-destroyed", *this);
}

AFX_MODULE_STATE* AFXAPI AfxGetModuleState() {
  return afx::g_currentState ? afx::g_currentState : &afx::ProcessModuleState();
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pNewState) : m_pPrevModuleState(afx::g_currentState) {
  if (pNewState) afx::g_currentState = pNewState;
}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2() { afx::g_currentState = m_pPrevModuleState; }

void AfxAttachModule(AFX_MODULE_STATE* pModuleState) {
  if (!pModuleState || pModuleState->m_nAttachState != AFX_MODULE_STATE::notAttached) return;
  BOOL ok = TRUE;
  if (CWinApp* app = pModuleState->m_pCurrentWinApp) {
    AFX_MANAGE_STATE(pModuleState);
    pModuleState->m_bInitInstanceRan = TRUE;
    const bool returned = GuardedEntry(false, [&] {
      ok = app->InitInstance();
      return true;
    });
    if (!returned) {
      std::fprintf(stderr, "%s: InitInstance failed with an exception\n", pModuleState->m_strModulePath.c_str());
      ok = FALSE;
    }
  }
  pModuleState->m_nAttachState = ok ? AFX_MODULE_STATE::attached : AFX_MODULE_STATE::refused;
  afx::Trace(ok ? "attached" : "refused", *pModuleState);
}

void AfxDetachModule(AFX_MODULE_STATE* pModuleState) {
  if (!pModuleState) return;
  CWinApp* app = pModuleState->m_pCurrentWinApp;
  if (app && pModuleState->m_bInitInstanceRan) {
    AFX_MANAGE_STATE(pModuleState);
    const bool returned = GuardedEntry(false, [&] {
      app->ExitInstance();
      return true;
    });
    if (!returned)
      std::fprintf(stderr, "%s: ExitInstance failed with an exception\n", pModuleState->m_strModulePath.c_str());
  }
  pModuleState->m_bInitInstanceRan = FALSE;
  afx::Trace("detached", *pModuleState);
}

namespace {

// The state of the framework module a loaded module's handle names; null for none.
AFX_MODULE_STATE* ModuleOfHandle(void* dlopenHandle) {
  const void* base = os::BaseOfModule(dlopenHandle);
  if (!base) return nullptr;
  for (AFX_MODULE_STATE* state : afx::LiveModules()) {
    if (state->m_hCurrentInstanceHandle == base) return state;
  }
  return nullptr;
}

}  // namespace

int AfxModuleAttachResult(void* dlopenHandle) {
  const AFX_MODULE_STATE* state = ModuleOfHandle(dlopenHandle);
  if (!state) return -1;
  return state->m_nAttachState == AFX_MODULE_STATE::attached  ? 1
         : state->m_nAttachState == AFX_MODULE_STATE::refused ? 0
                                                              : -1;
}

CWinApp* AfxModuleApp(void* dlopenHandle) {
  const AFX_MODULE_STATE* state = ModuleOfHandle(dlopenHandle);
  return state ? state->m_pCurrentWinApp : nullptr;
}

bool AfxModuleAttachSucceeded(void* dlopenHandle) { return AfxModuleAttachResult(dlopenHandle) != 0; }

int AfxLoadedModuleCount() { return static_cast<int>(afx::LiveModules().size()); }

void AfxSetModuleTraceHook(std::function<void(const char*, const char*)> hook) { afx::TraceHook() = std::move(hook); }
