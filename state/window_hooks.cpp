#include "state/window_hooks.h"

#include <cstdio>
#include <cstdlib>

namespace zv {
namespace {

WindowHooks g_hooks;

bool SameHooks(const WindowHooks& a, const WindowHooks& b) {
  return a.redrawInstallPathPage == b.redrawInstallPathPage && a.drawProgress == b.drawProgress &&
         a.showSkinDialog == b.showSkinDialog;
}

}  // namespace

const WindowHooks& CurrentWindowHooks() { return g_hooks; }

void RequestInstallPathRedraw() {
  if (g_hooks.redrawInstallPathPage != nullptr) g_hooks.redrawInstallPathPage();
}

void RequestProgress(int32_t done, int32_t total) {
  if (g_hooks.drawProgress != nullptr) g_hooks.drawProgress(done, total);
}

SkinDialogChoice RequestSkinDialog(SkinDialogChoice preset) {
  return g_hooks.showSkinDialog != nullptr ? g_hooks.showSkinDialog(preset) : preset;
}

ScopedWindowHooks::ScopedWindowHooks(const WindowHooks& hooks)
    : installed_(hooks), previous_(g_hooks) {
  g_hooks = hooks;
}

ScopedWindowHooks::~ScopedWindowHooks() {
  if (!SameHooks(g_hooks, installed_)) {
    std::fprintf(stderr,
                 "window hooks ended out of order: an inner scope outlived its outer one\n");
    std::abort();
  }
  g_hooks = previous_;
}

}  // namespace zv
