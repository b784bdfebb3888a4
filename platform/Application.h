// The application object: initialise, title, create forms, run the message loop, terminate,
// show an exception and continue. What needs a real desktop (the loop, modal display, file
// dialogs, the exception report) is asked of the realisation through ApplicationPeer.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Controls.h"

namespace platform {

class ApplicationPeer {
 public:
  virtual ~ApplicationPeer() = default;
  virtual void Run(Form& mainForm) = 0;  // returns when the loop ends
  virtual void Terminate() = 0;
  virtual void ShowException(const std::string& message) = 0;
  virtual int32_t ShowModal(Form& form) = 0;
  // Shows a file dialog; the chosen name, or nothing when the user cancelled.
  virtual std::optional<std::string> ExecuteFileDialog(FileDialog& dialog) = 0;
  virtual void FormCreated(Form&) {}
};

class TApplication {
 public:
  // Prepares the process: a write past the file-size limit then fails with an error (which the
  // Save As copy reports) instead of ending the program with SIGXFSZ.
  void Initialize();
  std::string Title;
  // Forms live until the program ends; the first created is the main form.
  template <class F, class... Args>
  F& CreateForm(Args&&... args) {
    auto form = std::make_unique<F>(std::forward<Args>(args)...);
    F& ref = *form;
    forms_.push_back(std::move(form));
    if (peer_ != nullptr) peer_->FormCreated(ref);
    return ref;
  }
  Form* MainForm() const { return forms_.empty() ? nullptr : forms_.front().get(); }
  void Run();
  void Terminate();
  bool Terminated() const { return terminated_; }
  void ShowException(const std::exception& e);
  void ShowException(const std::string& message);

  ApplicationPeer& Peer();
  void SetPeer(ApplicationPeer* peer);  // null restores the headless realisation
  void DestroyForms();

 private:
  std::vector<std::unique_ptr<Form>> forms_;
  ApplicationPeer* peer_ = nullptr;
  bool terminated_ = false;
};

// The process's application object.
TApplication& Application();

// A program entry: initialise the application, create the forms (`createForms`, which may also
// set the title), run the message loop. An exception that reaches here is shown with the
// application's exception report; the entry returns 0.
int RunApplication(const std::function<void()>& createForms);

}  // namespace platform
