// MainWindow: the program's single top-level window. Menu bar, toolbar,
// the side panel with the model selector and the view buttons, the routing
// view region, the status strip; it dispatches every command, owns the
// device session (and through it the link thread) for the whole run, and
// offers RefreshMainWindow to everything that changes the store.
#pragma once

#include <QMainWindow>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "editing/main_view.hpp"
#include "mainwin/main_commands.hpp"

class QAction;
class QMenu;

namespace veyra {

class AbControls;
struct ParameterStore;
struct ConnectionResult;
class DeviceSession;
class EditContext;
class MainToolbar;
class MainWindowPrompts;
class RoutingViews;
class SkinButton;
class SkinDropDown;
class SkinLabel;
class StatusArea;
struct LinkTiming;
struct ReportChoice;

struct MainWindowOptions {
  std::unique_ptr<MainWindowPrompts> Prompts;  // null: the real dialogs
  bool WatchDevices = true;                    // processor arrival and removal
  std::shared_ptr<const LinkTiming> Timing;    // null: the link's defaults
};

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr const char* kCaption = "Veyra QL Series Loudspeaker Control System";
  static constexpr int kSideWidth = 150;
  static constexpr int kHeaderHeight = 70;
  static constexpr int kStatusHeight = 34;

  using Options = MainWindowOptions;

  explicit MainWindow(ParameterStore& store, Options options = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  ParameterStore& Store() { return store_; }
  DeviceSession& Session() { return *session_; }
  MainWindowPrompts& Prompts() { return *prompts_; }
  // What the strips and editors reach of the program.
  EditContext& Context() { return *context_; }

  // ---- Places for the channel panels and routing views -----------------------
  // The two view regions (right of the side panel, between the header and the
  // status strip); ShowRoutingView shows one of them.
  QWidget* MixerArea() const { return mixerArea_; }
  QWidget* MatrixArea() const { return matrixArea_; }
  // A part that shows channels; not owned. Called on every refresh, layout,
  // meter update and lock change from then on.
  void AddView(MainWindowView* view);
  void RemoveView(MainWindowView* view);

  // Opens a window modally and returns when it is closed.
  using WindowOpener = std::function<void(QWidget* owner)>;
  void SetWindowOpener(WindowKind kind, WindowOpener opener);
  bool HasWindowOpener(WindowKind kind) const { return openers_.count(kind) != 0; }
  // Opens an editor on one channel (a panel's block button) and refreshes the
  // window when it has closed. Editors that edit one channel at a time start
  // on EditorChannel(): the panel's channel, or 0 for the function keys.
  void OpenEditor(WindowKind kind, int channel);
  int EditorChannel() const { return editorChannel_; }

  // ---- Operations -------------------------------------------------------------
  void RefreshMainWindow();
  // After a change of the scope's channels: their panels and the editors
  // showing them follow; the rest already shows the store.
  void RefreshMainWindow(const RefreshScope& scope);
  void EnableChannelControls(bool enabled);
  bool ChannelControlsEnabled() const { return controlsEnabled_; }
  void ShowRoutingView(int mode);
  const RoutingViewState& ViewState() const { return view_; }

  // A menu, toolbar or button command by its id.
  void RunCommand(int id);
  // The key rule: true when the key was taken (an editor key, a swallowed key).
  bool HandleKey(int key);
  // Connect to a device address (the demo devices, the bridge, --device).
  void ConnectTo(const QString& address);
  // File > Open and Save with a chosen path; false when nothing was loaded or saved.
  bool OpenSettingsFile(const QString& path);
  bool SaveSettingsFile(const QString& path);
  // File > Export report with a chosen subject and path: the installation
  // report of the live settings (with the device's versions and id while
  // online) or of a program. False when it could not be written (the
  // operator was told why).
  bool ExportReport(const ReportChoice& choice, const QString& path);
  // Ends the window without the save question (a run that takes a picture).
  void CloseWithoutQuestion();

  // ---- For tests and the strips ---------------------------------------------
  RoutingViews* Routing() const { return routingViews_.get(); }
  SkinDropDown* ModelSelector() const { return model_; }
  StatusArea* Status() const { return status_; }
  SkinLabel* ViewCaption() const { return viewCaption_; }
  SkinLabel* ProgramCaption() const { return programCaption_; }
  MainToolbar* Toolbar() const { return toolbar_; }
  SkinButton* Button(int id) const;
  QAction* Action(int id) const;
  QMenu* DemoMenu() const { return demoMenu_; }
  AbControls* Comparison() const { return ab_; }

 signals:
  // A connection sequence ended (online says how).
  void connectionDone(bool online);
  void refreshed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void BuildSidePanel(QWidget* canvas);
  void BuildHeader(QWidget* canvas);
  void LayOutCanvas();
  void OpenWindow(WindowKind kind, bool refresh);
  void InstallEditors();
  void OnModelChosen();
  void OnConnectionFinished(const ConnectionResult& result);
  void RebuildForModel();
  void ClickViewButton(int id);
  void ClickSideButton(int id);
  bool RunCloseSequence();
  // Every live channel to the device (a loaded file, the factory defaults),
  // the channels waiting meanwhile; offline the store alone.
  void DownloadLiveSettings();
  // True when a wholesale operation runs; the operator is told what.
  bool RefuseWhileOperationRuns();
  void ForEachView(const std::function<void(MainWindowView&)>& f);
  QString DeviceCaption() const;

  ParameterStore& store_;
  std::unique_ptr<MainWindowPrompts> prompts_;
  std::unique_ptr<DeviceSession> session_;
  std::unique_ptr<EditContext> context_;
  std::vector<MainWindowView*> views_;
  std::map<WindowKind, WindowOpener> openers_;
  std::map<int, QAction*> actions_;
  std::map<int, SkinButton*> buttons_;
  RoutingViewState view_;
  bool controlsEnabled_ = true;
  int editorChannel_ = 0;
  bool closeConfirmed_ = false;
  int connectionOperation_ = 0;         // the token while a connection runs
  std::deque<int> downloadOperations_;  // one per download of the live settings queued

  QWidget* canvas_ = nullptr;
  MainToolbar* toolbar_ = nullptr;
  SkinDropDown* model_ = nullptr;
  SkinLabel* viewTitle_ = nullptr;
  SkinLabel* viewCaption_ = nullptr;
  SkinLabel* programCaption_ = nullptr;
  QWidget* mixerArea_ = nullptr;
  QWidget* matrixArea_ = nullptr;
  StatusArea* status_ = nullptr;
  QMenu* demoMenu_ = nullptr;
  QMenu* editMenu_ = nullptr;
  AbControls* ab_ = nullptr;
  std::unique_ptr<RoutingViews> routingViews_;
};

}  // namespace veyra
