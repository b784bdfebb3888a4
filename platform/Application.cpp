#include "Application.h"

#include <csignal>

#include "Headless.h"

namespace platform {

TApplication& Application() {
  static TApplication application;
  return application;
}

ApplicationPeer& TApplication::Peer() {
  if (peer_ != nullptr) return *peer_;
  static HeadlessPeer headless;  // the realisation when none was set
  return headless;
}

void TApplication::SetPeer(ApplicationPeer* peer) { peer_ = peer; }

void TApplication::Initialize() { std::signal(SIGXFSZ, SIG_IGN); }

void TApplication::Run() {
  if (Form* main = MainForm(); main != nullptr && !terminated_) Peer().Run(*main);
}

void TApplication::Terminate() {
  terminated_ = true;
  Peer().Terminate();
}

void TApplication::ShowException(const std::exception& e) { ShowException(std::string(e.what())); }

void TApplication::ShowException(const std::string& message) { Peer().ShowException(message); }

int RunApplication(const std::function<void()>& createForms) {
  try {
    Application().Initialize();
    createForms();
    Application().Run();
  } catch (const std::exception& e) {
    Application().ShowException(e);
  }
  return 0;
}

void TApplication::DestroyForms() {
  while (!forms_.empty()) forms_.pop_back();
  terminated_ = false;
}

}  // namespace platform
