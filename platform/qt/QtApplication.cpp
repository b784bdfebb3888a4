// The application's realisation: windows built from the form models, modal display, file
// dialogs, the exception report and the event loop.
#include "QtApplication.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "QtControls.h"

namespace platform::qt {

QStringList NameFilters(const std::string& filter) {
  const QStringList parts = Latin1(filter).split(QChar(u'|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(QChar(u';'), Qt::SkipEmptyParts)) {
      const QString trimmed = pattern.trimmed();
      if (!trimmed.isEmpty()) patterns.append(trimmed == QStringLiteral("*.*") ? QStringLiteral("*") : trimmed);
    }
    if (patterns.isEmpty()) patterns.append(QStringLiteral("*"));
    filters.append(parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QChar(u' ')) + QChar(u')'));
  }
  return filters;
}

namespace {

QIcon ProgramIcon(const std::string& name) {
  const QPixmap picture = ResourcePicture(name);
  return picture.isNull() ? QIcon() : QIcon(picture);
}

// The form's own properties on its window: caption, colour, font.
class FormPeer final : public PeerOf<Form> {
 public:
  FormPeer(Form& form, QWidget* window, QWidget* client) : PeerOf<Form>(form), window_(window), client_(client) { ModelChanged(); }
  void ModelChanged() override {
    window_->setWindowTitle(Latin1(model().Caption()));
    QPalette palette = client_->palette();
    palette.setColor(QPalette::Window, ToQColor(model().GetColor()));
    palette.setColor(QPalette::Button, ToQColor(model().GetColor()));
    client_->setPalette(palette);
    client_->setAutoFillBackground(true);
  }

 private:
  QWidget* window_;
  QWidget* client_;
};

// The client area of the main window: exactly the form's client size.
class ClientArea final : public QWidget {
 public:
  ClientArea(QSize size, QWidget* parent) : QWidget(parent), size_(size) { setFixedSize(size); }
  QSize sizeHint() const override { return size_; }

 private:
  QSize size_;
};

// Closing the main window ends the program, as File > Exit does.
class MainWindow final : public QMainWindow {
 public:
  explicit MainWindow(Form& form) : client_(new ClientArea(QSize(form.ClientWidth, form.ClientHeight), this)), peer_(form, this, client_) {
    setObjectName(Latin1(form.Name));
    setCentralWidget(client_);
    client_->setFont(FormFont());
    setWindowIcon(ProgramIcon(form.Icon));
    if (form.Menu != nullptr) BuildMenu(*form.Menu);
    Chain(BuildControls(form, client_));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    move(form.Left, form.Top);
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->accept();
    Dispatch([] { Application().Terminate(); });
  }

 private:
  void BuildMenu(const MainMenu& menu) {
    for (MenuItem* item : menu.Items) AddItem(*item, nullptr);
  }

  // A menu item with sub-items is a menu; "-" a separator; any other an action whose trigger
  // is the item's Click().
  void AddItem(MenuItem& item, QMenu* into) {
    if (!item.Items.empty()) {
      QMenu* sub = into == nullptr ? menuBar()->addMenu(Latin1(item.Caption)) : into->addMenu(Latin1(item.Caption));
      sub->setObjectName(Latin1(item.Name));
      for (MenuItem* child : item.Items) AddItem(*child, sub);
      return;
    }
    if (into != nullptr && item.IsSeparator()) {
      into->addSeparator()->setObjectName(Latin1(item.Name));
      return;
    }
    QAction* action = into == nullptr ? menuBar()->addAction(Latin1(item.Caption)) : into->addAction(Latin1(item.Caption));
    action->setObjectName(Latin1(item.Name));
    if (item.ShortCut.Key != 0) {
      const int key = Qt::Key_A + (item.ShortCut.Key - 'A');
      action->setShortcut(QKeySequence(item.ShortCut.Ctrl ? QKeyCombination(Qt::ControlModifier, Qt::Key(key)) : QKeyCombination(Qt::Key(key))));
    }
    MenuItem* model = &item;
    QObject::connect(action, &QAction::triggered, action, [model] { Dispatch([model] { model->Click(); }); });
  }

  static void Chain(const std::vector<QWidget*>& focusable) {
    for (std::size_t i = 1; i < focusable.size(); ++i) QWidget::setTabOrder(focusable[i - 1], focusable[i]);
  }

  ClientArea* client_;
  FormPeer peer_;
};

// Any form other than the main one: a fixed-size dialog whose client area is the form's.
class FormDialog final : public QDialog {
 public:
  FormDialog(Form& form, QWidget* parent)
      : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                            Qt::MSWindowsFixedSizeDialogHint),
        peer_(form, this, this) {
    setObjectName(Latin1(form.Name));
    setFont(FormFont());
    setWindowIcon(ProgramIcon(form.Icon));
    setFixedSize(form.ClientWidth, form.ClientHeight);
    const std::vector<QWidget*> focusable = BuildControls(form, this);
    for (std::size_t i = 1; i < focusable.size(); ++i) QWidget::setTabOrder(focusable[i - 1], focusable[i]);
  }

 private:
  FormPeer peer_;
};

QString ApplicationTitle() {
  const std::string& title = Application().Title;
  return title.empty() ? QCoreApplication::applicationName() : Latin1(title);
}

}  // namespace

QtApplicationPeer::QtApplicationPeer() {
  // The program ends when the main form closes or File > Exit terminates it, not when Qt sees
  // its last visible window go.
  QGuiApplication::setQuitOnLastWindowClosed(false);
  started_.setSingleShot(true);
  QObject::connect(&started_, &QTimer::timeout, [this] {
    if (whenStarted_) Dispatch(std::exchange(whenStarted_, nullptr));
  });
}

QtApplicationPeer::~QtApplicationPeer() {
  DestroyWindows();
  if (&Application().Peer() == this) Application().SetPeer(nullptr);
}

void QtApplicationPeer::DestroyWindows() {
  // Dialogs first: they are children of the main window.
  Form* main = Application().MainForm();
  for (auto it = windows_.begin(); it != windows_.end();) {
    if (it->first != main) {
      it = windows_.erase(it);
    } else {
      ++it;
    }
  }
  windows_.clear();
}

QWidget* QtApplicationPeer::WindowOf(Form& form) {
  const auto found = windows_.find(&form);
  if (found != windows_.end()) return found->second.get();
  return Build(form);
}

QWidget* QtApplicationPeer::Build(Form& form) {
  std::unique_ptr<QWidget> window;
  if (&form == Application().MainForm()) {
    window = std::make_unique<MainWindow>(form);
  } else {
    Form* main = Application().MainForm();
    QWidget* parent = main != nullptr ? WindowOf(*main) : nullptr;
    window = std::make_unique<FormDialog>(form, parent);
  }
  QWidget* built = window.get();
  windows_[&form] = std::move(window);
  // The window is owned by windows_ from here on.
  // cppcheck-suppress returnDanglingLifetime
  return built;
}

void QtApplicationPeer::FormCreated(Form& form) {
  if (&form == Application().MainForm()) WindowOf(form);
}

void QtApplicationPeer::RunWhenStarted(std::function<void()> work) { whenStarted_ = std::move(work); }

void QtApplicationPeer::Run(Form& mainForm) {
  if (!Application().Title.empty()) QCoreApplication::setApplicationName(Latin1(Application().Title));
  QWidget* window = WindowOf(mainForm);
  window->show();
  if (whenStarted_) started_.start(0);
  QApplication::exec();
}

void QtApplicationPeer::Terminate() { QCoreApplication::exit(0); }

void QtApplicationPeer::ShowException(const std::string& message) {
  QWidget* parent = QApplication::activeModalWidget();
  if (parent == nullptr) parent = QApplication::activeWindow();
  QMessageBox box(QMessageBox::Critical, ApplicationTitle(), Latin1(message), QMessageBox::Ok, parent);
  box.exec();
}

int32_t QtApplicationPeer::ShowModal(Form& form) {
  auto* dialog = static_cast<QDialog*>(WindowOf(form));
  if (form.CenterOnScreen) {
    QScreen* screen = dialog->parentWidget() != nullptr ? dialog->parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
      QRect frame = dialog->frameGeometry();
      frame.moveCenter(screen->availableGeometry().center());
      dialog->move(frame.topLeft());
    }
  }
  form.ModalResult = mrNone;
  dialog->exec();
  if (form.ModalResult == mrNone) form.ModalResult = mrCancel;
  return form.ModalResult;
}

std::optional<std::string> QtApplicationPeer::ExecuteFileDialog(FileDialog& dialog) {
  QWidget* parent = QApplication::activeModalWidget();
  if (parent == nullptr) parent = QApplication::activeWindow();
  if (parent == nullptr && Application().MainForm() != nullptr) parent = WindowOf(*Application().MainForm());
  const bool open = dialog.DialogMode == FileDialog::Mode::Open;
  QFileDialog chooser(parent);
  chooser.setOption(QFileDialog::DontUseNativeDialog);
  chooser.setOption(QFileDialog::HideNameFilterDetails);  // the filter list shows the descriptions as given
  chooser.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  chooser.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (!dialog.Title.empty()) chooser.setWindowTitle(Latin1(dialog.Title));
  chooser.setDirectory(QDir::currentPath());
  const QStringList filters = NameFilters(dialog.Filter);
  if (!filters.isEmpty()) chooser.setNameFilters(filters);
  // A save dialog asks before replacing a file, about the name the choice is saved under: the
  // form may add ".qtr" to what was typed, and the dialog's own question would be about the
  // typed name. "No" goes back to the dialog.
  if (!open) chooser.setOption(QFileDialog::DontConfirmOverwrite);
  for (;;) {
    if (chooser.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = chooser.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    std::string name = QFile::encodeName(chosen.front()).toStdString();
    if (open) return name;
    const std::string saved = dialog.SavedName ? dialog.SavedName(name) : name;
    const QString shown = QFile::decodeName(QByteArray::fromStdString(saved));
    if (!QFileInfo::exists(shown)) return name;
    const auto answer = QMessageBox::question(&chooser, chooser.windowTitle(),
                                              QString("%1 already exists.\nDo you want to replace it?").arg(shown),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes) return name;
  }
}

StartArguments ParseStartArguments(int argc, const char* const* argv) {
  StartArguments parsed;
  if (argc > 2) {
    parsed.UsageError = true;
  } else if (argc == 2) {
    std::string name = argv[1];
    std::error_code error;
    if (!name.empty() && name.front() != '/') {
      const std::filesystem::path absolute = std::filesystem::absolute(name, error);
      if (!error) name = absolute.string();
    }
    parsed.FileName = std::move(name);
  }
  return parsed;
}

int RunProgram(int& argc, char** argv, int (*programEntry)(), void (*openFile)(const std::string& fileName)) {
  QApplication application(argc, argv);
  const StartArguments arguments = ParseStartArguments(argc, argv);
  if (arguments.UsageError) {
    const std::string program = argc > 0 ? std::filesystem::path(argv[0]).filename().string() : std::string("viewer");
    std::fprintf(stderr, "usage: %s [FILE]\n", program.c_str());
    return 2;
  }
  int status = 0;
  {
    QtApplicationPeer peer;
    Application().SetPeer(&peer);
    if (arguments.FileName && openFile != nullptr) peer.RunWhenStarted([openFile, name = *arguments.FileName] { openFile(name); });
    status = programEntry();
    peer.DestroyWindows();
    Application().SetPeer(nullptr);
  }
  Application().DestroyForms();
  return status;
}

}  // namespace platform::qt
