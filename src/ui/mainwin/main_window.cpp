#include "mainwin/main_window.hpp"
#include "mainwin/processor_choice.hpp"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <algorithm>
#include <utility>

#include "controls/message_box.hpp"
#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "editing/ab_comparison.hpp"
#include "editing/edit_context.hpp"
#include "mainwin/ab_controls.hpp"
#include "editing/prompts.hpp"
#include "mainwin/device_session.hpp"
#include "mainwin/main_toolbar.hpp"
#include "mainwin/status_area.hpp"
#include "mainwin/window_prompts.hpp"
#include "shell/application_shell.hpp"
#include "state/device_text.hpp"
#include "state/models.hpp"
#include "state/parameter_store.hpp"
#include "strips/routing_views.hpp"

namespace veyra {
namespace {

// The client area: the side panel's fill and the body's fill.
class MainCanvas : public QWidget {
 public:
  MainCanvas(QWidget* parent, std::function<void()> onResize)
      : QWidget(parent), onResize_(std::move(onResize)) {}

 protected:
  void resizeEvent(QResizeEvent*) override { onResize_(); }
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, MainWindow::kSideWidth, height()), skin::kShellSide);
    painter.fillRect(QRect(MainWindow::kSideWidth, 0, width() - MainWindow::kSideWidth, height()),
                     skin::kShellBody);
  }

 private:
  std::function<void()> onResize_;
};

SkinLabel* Caption(const QString& text, QWidget* parent, int pixels, bool bold, const QColor& colour) {
  auto* label = new SkinLabel(text, parent);
  label->SetFont("Arial", pixels, bold);
  label->SetTextColor(colour);
  return label;
}

// "Preset %d:%s" for a recalled program 1..30, else nothing.
QString ProgramCaptionText(const ParameterStore& store) {
  const int program = store.System.CurrentProgram;
  if (program < 1 || program > kPresetCount) return {};
  return QString("Preset %1:%2")
      .arg(program)
      .arg(QString::fromStdString(DecodeField(store.Presets[program].Name)));
}

struct DemoDevice {
  const char* Text;
  const char* Address;
};
constexpr DemoDevice kDemoDevices[] = {
    {"Sistel 2x4", "sim:sistel"},
    {"Merial 3x6", "sim:merial"},
    {"Orvane 4x8", "sim:orvane"},
};

}  // namespace

MainWindow::MainWindow(ParameterStore& store, Options options, QWidget* parent)
    : QMainWindow(parent),
      store_(store),
      prompts_(options.Prompts ? std::move(options.Prompts) : std::make_unique<WindowPrompts>()) {
  setWindowTitle(kCaption);
  setWindowIcon(QIcon(":/icons/veyra.png"));
  InstallArialFont();
  InitialiseStore(store_);
  session_ = std::make_unique<DeviceSession>(store_, options.Timing ? *options.Timing : LinkTiming{});
  context_ = std::make_unique<EditContext>(store_, *prompts_);
  context_->SetHooks({
      .Send = [this](const SendAddress& a) { return session_->SendWrite(a.Slot, a.Channel, a.Block, a.Group); },
      .Refresh = [this](const RefreshScope& scope) { RefreshMainWindow(scope); },
      .Open = [this](WindowKind kind, int channel) { OpenEditor(kind, channel); },
      .CanOpen = [this](WindowKind kind) { return HasWindowOpener(kind); },
      .RunDeviceJob = [this](std::function<void(DeviceLink&)> job) { return session_->RunJob(std::move(job)); },
      .EnableControls = [this](bool enabled) { EnableChannelControls(enabled); },
  });
  InstallEditors();

  BuildMenus();
  canvas_ = new MainCanvas(this, [this] {
    if (status_) LayOutCanvas();
  });
  setCentralWidget(canvas_);
  toolbar_ = new MainToolbar(canvas_);
  connect(toolbar_, &MainToolbar::commandTriggered, this, &MainWindow::RunCommand);
  BuildSidePanel(canvas_);
  BuildHeader(canvas_);
  mixerArea_ = new QWidget(canvas_);
  mixerArea_->setObjectName("MixerArea");
  matrixArea_ = new QWidget(canvas_);
  matrixArea_->setObjectName("MatrixArea");
  status_ = new StatusArea(canvas_);
  connect(status_, &StatusArea::cancelRequested, session_.get(), &DeviceSession::CancelConnection);
  ab_ = new AbControls(*this, *context_, *editMenu_, *toolbar_, *status_, kCaption);
  routingViews_ = std::make_unique<RoutingViews>(*context_, mixerArea_, matrixArea_);
  AddView(routingViews_.get());

  connect(session_.get(), &DeviceSession::connectionStarted, this, [this](const QString& address) {
    status_->ShowProgress(address, 0, 0);
    // The device's settings replace the store at the end: edits made meanwhile would be lost.
    connectionOperation_ = context_->BeginOperation(QString("Connecting to %1 ...").arg(address));
  });
  connect(session_.get(), &DeviceSession::downloadFinished, this, [this] {
    if (downloadOperations_.empty()) return;
    context_->EndOperation(downloadOperations_.front());
    downloadOperations_.pop_front();
  });
  connect(context_.get(), &EditContext::operationChanged, status_, &StatusArea::ShowOperation);
  connect(session_.get(), &DeviceSession::connectionProgress, this,
          [this](int done, int total) { status_->ShowProgress(session_->Address(), done, total); });
  connect(session_.get(), &DeviceSession::connectionFinished, this, &MainWindow::OnConnectionFinished);
  connect(session_.get(), &DeviceSession::wentOffline, this, [this] {
    status_->SetOnline(false);
    ab_->SetCaption(kCaption);
  });
  connect(session_.get(), &DeviceSession::metersUpdated, this, [this] {
    if (view_.ViewMode == 0) return;
    ForEachView([this](MainWindowView& v) { v.ShowMeters(store_); });
  });

  // Room for the Orvane's eight output rows and the routing lines' gap.
  resize(1250, 810);
  ShowRoutingView(1);
  RefreshMainWindow();
  qApp->installEventFilter(this);
  if (options.WatchDevices) session_->StartWatchingDevices();
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  RemoveView(routingViews_.get());
  routingViews_.reset();
  session_.reset();  // the link thread ends before the windows go
  context_.reset();
}

// ---- Construction -------------------------------------------------------------

void MainWindow::BuildMenus() {
  auto add = [this](QMenu* menu, const QString& text, int id) {
    QAction* action = menu->addAction(text);
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    actions_[id] = action;
    return action;
  };
  QMenuBar* bar = menuBar();
  // The menu bar in the window's own dark tone; its menus keep the dialog colours.
  bar->setStyleSheet(
      "QMenuBar { background: rgb(44, 52, 57); color: rgb(236, 241, 244); border-bottom: 1px solid rgb(24, "
      "29, 32); }"
      "QMenuBar::item { padding: 4px 10px; background: transparent; }"
      "QMenuBar::item:selected { background: rgb(2, 166, 227); color: white; }");
  QMenu* file = bar->addMenu("&File");
  add(file, "&Open file", kCmdOpenFile);
  add(file, "&Save file", kCmdSaveFile);
  file->addSeparator();
  add(file, "Export &report...", kCmdExportReport);
  file->addSeparator();
  add(file, "E&xit", kCmdExit);
  QMenu* edit = bar->addMenu("&Edit");
  edit->addAction(context_->MakeUndoAction(edit));
  edit->addAction(context_->MakeRedoAction(edit));
  editMenu_ = edit;
  QMenu* view = bar->addMenu("&View");
  add(view, "&Data", kCmdData);
  connect(view->addAction("&System response"), &QAction::triggered, this,
          [this] { OpenEditor(WindowKind::SystemResponse, 0); });
  QMenu* control = bar->addMenu("&Control");
  add(control, "&Copy", kCmdCopy);
  add(control, "&Interface", kCmdInterface);
  add(control, "&Reset All", kCmdResetAll);
  add(control, "&Security", kCmdSecurity);
  QAction* program = bar->addAction("&Program");
  connect(program, &QAction::triggered, this, [this] { RunCommand(kCmdProgram); });
  actions_[kCmdProgram] = program;
  QMenu* connection = bar->addMenu("C&onnection");
  add(connection, "&Connect", kCmdConnect);
  add(connection, "&Disconnect", kCmdDisconnect);
  connection->addSeparator();
  demoMenu_ = connection->addMenu("D&emo device");
  for (const DemoDevice& demo : kDemoDevices) {
    const QString address = demo.Address;
    connect(demoMenu_->addAction(demo.Text), &QAction::triggered, this,
            [this, address] { ConnectTo(address); });
  }
  connect(connection->addAction("&Network bridge..."), &QAction::triggered, this, [this] {
    const QString where = prompts_->BridgeAddress(this);
    if (!where.isEmpty()) ConnectTo("tcp:" + where);
  });
  QAction* about = bar->addAction("&About");
  connect(about, &QAction::triggered, this, [this] { RunCommand(kCmdAbout); });
  actions_[kCmdAbout] = about;
}

void MainWindow::BuildSidePanel(QWidget* canvas) {
  const int inner = kSideWidth - 30;
  auto* brand = Caption("VEYRA QL", canvas, 22, true, skin::kTextLight);
  brand->SetAlignment(Qt::AlignCenter);
  brand->setGeometry(0, MainToolbar::kHeight + 14, kSideWidth, 28);
  auto* series = Caption("LOUDSPEAKER PROCESSOR", canvas, 9, true, QColor(214, 224, 229));
  series->SetAlignment(Qt::AlignCenter);
  series->setGeometry(0, MainToolbar::kHeight + 42, kSideWidth, 14);

  int y = MainToolbar::kHeight + 76;
  Caption("MODEL", canvas, 10, true, skin::kTextDim)->setGeometry(15, y, inner, 14);
  model_ = new SkinDropDown(canvas);
  model_->SetId(kModelSelector);
  model_->setFocusPolicy(Qt::ClickFocus);  // the window opens with no control singled out
  model_->setGeometry(15, y + 16, inner, 26);
  for (const ModelInfo& model : Models())
    model_->AddEntry(QString::fromUtf8(model.Name.data(), model.Name.size()));
  model_->SetCurrentIndex(store_.CurrentModel - 1);
  connect(model_, &SkinDropDown::selectionChanged, this, &MainWindow::OnModelChosen);

  y += 64;
  const std::pair<int, const char*> buttons[] = {{kButtonMatrix, "MATRIX"},
                                                 {kButtonMixer, "MIXER"},
                                                 {kButtonInputGroup, "INPUT GROUP"},
                                                 {kButtonOutputGroup, "OUTPUT GROUP"},
                                                 {kButtonMixButton, "MIX BUTTON"}};
  for (const auto& [id, text] : buttons) {
    auto* button = new SkinButton(text, canvas);
    button->setGeometry(15, y, inner, 28);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &SkinButton::clicked, this, [this, id = id] { ClickSideButton(id); });
    buttons_[id] = button;
    y += (id == kButtonMixer || id == kButtonOutputGroup) ? 48 : 36;
  }
  buttons_[kButtonMixButton]->SetDown(1);  // the matrix view starts in mix-button mode

  auto* maker = Caption("CORVEL HARBOR", canvas, 10, true, QColor(190, 200, 206));
  maker->setObjectName("MakerCaption");
  maker->SetAlignment(Qt::AlignCenter);
}

void MainWindow::BuildHeader(QWidget* canvas) {
  viewTitle_ = Caption("Current Signal Routing View:", canvas, 17, true, skin::kTextLight);
  viewCaption_ = Caption(QString(), canvas, 13, false, QColor(214, 224, 229));
  programCaption_ = Caption(QString(), canvas, 13, true, skin::kAccent);
  programCaption_->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
  for (const auto& [id, text] :
       {std::pair{kButtonInputSide, "Input"}, std::pair{kButtonOutputSide, "Output"}}) {
    auto* button = new SkinButton(text, canvas);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &SkinButton::clicked, this, [this, id = id] { ClickViewButton(id); });
    buttons_[id] = button;
  }
  buttons_[kButtonInputSide]->SetDown(1);
}

void MainWindow::LayOutCanvas() {
  const int w = canvas_->width();
  const int h = canvas_->height();
  const int top = MainToolbar::kHeight;
  toolbar_->setGeometry(0, 0, w, MainToolbar::kHeight);
  if (QWidget* maker = canvas_->findChild<QWidget*>("MakerCaption"))
    maker->setGeometry(0, h - kStatusHeight - 26, kSideWidth, 16);
  viewTitle_->setGeometry(kSideWidth + 20, top + 12, 330, 24);
  viewCaption_->setGeometry(kSideWidth + 20, top + 40, 330, 18);
  buttons_[kButtonOutputSide]->setGeometry(w - 20 - 80, top + 14, 80, 26);
  buttons_[kButtonInputSide]->setGeometry(w - 20 - 80 - 6 - 80, top + 14, 80, 26);
  programCaption_->setGeometry(kSideWidth + 360, top + 40, std::max(0, w - kSideWidth - 380), 18);
  const QRect region(kSideWidth, top + kHeaderHeight, w - kSideWidth,
                     h - top - kHeaderHeight - kStatusHeight);
  mixerArea_->setGeometry(region);
  matrixArea_->setGeometry(region);
  status_->setGeometry(kSideWidth, h - kStatusHeight, w - kSideWidth, kStatusHeight);
  ForEachView([this](MainWindowView& v) { v.LayOut(view_, store_); });
}

// ---- Views ----------------------------------------------------------------------

void MainWindow::AddView(MainWindowView* view) {
  if (view && std::find(views_.begin(), views_.end(), view) == views_.end()) views_.push_back(view);
}

void MainWindow::RemoveView(MainWindowView* view) {
  std::erase(views_, view);
}

void MainWindow::ForEachView(const std::function<void(MainWindowView&)>& f) {
  for (MainWindowView* view : std::vector<MainWindowView*>(views_)) f(*view);
}

QString MainWindow::DeviceCaption() const {
  return QString(view_.ViewMode == 2 ? "Device %1-Matrix View" : "Device %1-Mixer View").arg(store_.DeviceId);
}

void MainWindow::ShowRoutingView(int mode) {
  view_.ViewMode = mode;
  if (mode != 0) {
    viewCaption_->SetText(DeviceCaption());
    buttons_[kButtonMatrix]->SetDown(mode == 2);
    buttons_[kButtonMixer]->SetDown(mode == 1);
  }
  programCaption_->SetText(ProgramCaptionText(store_));
  mixerArea_->setVisible(mode == 1);
  matrixArea_->setVisible(mode == 2);
  LayOutCanvas();
}

void MainWindow::RefreshMainWindow() {
  RefreshMainWindow(RefreshScope::All());
}

void MainWindow::RefreshMainWindow(const RefreshScope& scope) {
  programCaption_->SetText(ProgramCaptionText(store_));
  // The band counts travel in the editor words, where the EQ editors read them.
  UpdateBandCountWords(store_);
  if (scope.Everything) {
    ForEachView([this](MainWindowView& v) { v.Refresh(store_); });
    update();
  } else {
    ForEachView([this, &scope](MainWindowView& v) { v.RefreshChannels(store_, scope); });
  }
  emit refreshed();
  context_->NotifyRefreshed(scope);
}

void MainWindow::EnableChannelControls(bool enabled) {
  controlsEnabled_ = enabled;
  context_->SetControlsEnabled(enabled);
  ForEachView([enabled](MainWindowView& v) { v.EnableControls(enabled); });
}

void MainWindow::RebuildForModel() {
  model_->SetCurrentIndex(store_.CurrentModel - 1);
  ShowRoutingView(1);
  RefreshMainWindow();
}

void MainWindow::OnModelChosen() {
  // Online, or while a connection runs (its result replaces the store), the
  // device decides the model.
  if (session_->Online() || session_->Connecting()) {
    model_->SetCurrentIndex(store_.CurrentModel - 1);
    return;
  }
  if (model_->GetCurrentIndex() + 1 != store_.CurrentModel && !context_->Comparison().ConfirmEnd(this)) {
    model_->SetCurrentIndex(store_.CurrentModel - 1);
    return;
  }
  SwitchModel(store_, model_->GetCurrentIndex() + 1, [this] {
    context_->ClearHistory();
    RebuildForModel();
  });
}

// ---- Buttons ------------------------------------------------------------------

void MainWindow::ClickSideButton(int id) {
  switch (id) {
    case kButtonMatrix:
    case kButtonMixer:
      if (buttons_[id]->GetDown()) return;  // that view is already shown
      ShowRoutingView(id == kButtonMatrix ? 2 : 1);
      break;
    case kButtonMixButton: {
      const bool wasDown = buttons_[id]->GetDown() != 0;
      buttons_[id]->SetDown(!wasDown);
      buttons_[id]->setText(wasDown ? "ROUTINGLINES" : "Mix Button");
      view_.MixButtonMode = !wasDown;
      ShowRoutingView(2);
      break;
    }
    default:
      RunCommand(id);
      return;
  }
  RefreshMainWindow();
}

void MainWindow::ClickViewButton(int id) {
  const bool input = id == kButtonInputSide;
  buttons_[kButtonInputSide]->SetDown(input);
  buttons_[kButtonOutputSide]->SetDown(!input);
  view_.InputSideSelected = input;
  ShowRoutingView(1);
}

SkinButton* MainWindow::Button(int id) const {
  const auto it = buttons_.find(id);
  return it == buttons_.end() ? nullptr : it->second;
}

QAction* MainWindow::Action(int id) const {
  const auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

// ---- Connection -----------------------------------------------------------------

void MainWindow::OnConnectionFinished(const ConnectionResult& result) {
  context_->EndOperation(std::exchange(connectionOperation_, 0));
  status_->HideProgress();
  if (result.ok()) {
    context_->ClearHistory();  // the device's settings replaced the store
    if (result.ModelChanged) RebuildForModel();
    viewCaption_->SetText(DeviceCaption());
    status_->SetOnline(true);
    // With several processors about, the title tells which one this window drives.
    const QString serial = SerialForAddress(session_->Address());
    ab_->SetCaption(serial.isEmpty() ? QString(kCaption) : QString(kCaption) + " - " + serial);
    RefreshMainWindow();
    EnableChannelControls(store_.System.LockState == 0);
  } else if (!result.Message.empty()) {
    prompts_->Ask(this, QString::fromStdString(result.Message), "Warning", kStyleOk | kIconInformation);
  }
  emit connectionDone(result.ok());
}

// ---- Keys and closing ---------------------------------------------------------

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* widget = qobject_cast<QWidget*>(watched);
    // Only keys meant for this window: a modal editor handles its own.
    if (widget && widget->window() == this && !QApplication::activeModalWidget()) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      // Enter in a panel's entry field commits that field (a gain, a name);
      // everywhere else the window swallows it.
      const bool commit = (key == Qt::Key_Return || key == Qt::Key_Enter) && qobject_cast<QLineEdit*>(widget);
      if (!commit) return HandleKey(key);
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closeConfirmed_ || RunCloseSequence()) {
    closeConfirmed_ = true;
    event->accept();
  } else {
    event->ignore();
  }
}

void MainWindow::CloseWithoutQuestion() {
  closeConfirmed_ = true;
  close();
}

}  // namespace veyra
