// Window hooks that write down every request, for tests of the steps that
// ask the window to paint or to show a dialog.
#pragma once

#include <string>
#include <vector>

#include "state/window_hooks.h"

namespace zv::test {

// Installs recording hooks for its lifetime; calls() lists the requests in
// order: "redraw", "progress 0/64", "skin dialog".
class RecordingWindowHooks {
 public:
  RecordingWindowHooks() : scope_(Hooks()) { Calls().clear(); }
  ~RecordingWindowHooks() { Calls().clear(); }

  const std::vector<std::string>& calls() const { return Calls(); }

 private:
  static std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
  }
  static WindowHooks Hooks() {
    WindowHooks hooks;
    hooks.redrawInstallPathPage = [] { Calls().push_back("redraw"); };
    hooks.drawProgress = [](int32_t done, int32_t total) {
      Calls().push_back("progress " + std::to_string(done) + "/" + std::to_string(total));
    };
    hooks.showSkinDialog = [](SkinDialogChoice preset) {
      Calls().push_back("skin dialog");
      return preset;
    };
    return hooks;
  }

  ScopedWindowHooks scope_;
};

}  // namespace zv::test
