// ResponseGraph: the frequency-response graph at the top of both EQ editors.
// It draws the edited channel's summed response, the chosen band or crossover
// section as a filled area and a handle for every active one, and edits the
// bands and sections by mouse (handle and width drags, wheel) and keyboard.
// Every edit goes through the owner's sink, then the graph recomputes the one
// filter it changed and reports it with filterEdited.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "curves/graph_painter.hpp"

namespace veyra {

class ResponseGraph : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kInputView = 1, kOutputView = 4;

  explicit ResponseGraph(ParameterStore& store, QWidget* parent = nullptr);
  ~ResponseGraph() override;

  void ShowInputChannel(int channel);   // view mode 1, the channel's curve set
  void ShowOutputChannel(int channel);  // view mode 4
  int ViewMode() const { return mode_; }
  int Channel() const { return channel_; }

  // Summed curves of other channels of the same kind to draw too (bit i =
  // channel i); the edited channel is always drawn.
  void SetShownChannels(uint8_t mask);
  // The filter the editor names (drawn filled while the pointer selects
  // none); -1 none.
  void SetNamedFilter(int index);
  int SelectedFilter() const { return selected_; }

  // Every edit (drag, wheel, key) is handed to the sink, which must apply
  // `write` to the store. The default sink applies it directly. A sink that
  // also changes other channels (linked groups) should Reload afterwards, as
  // the graph recomputes only the edited filter.
  using EditSink = std::function<void(int filterIndex, const std::function<void(ParameterStore&)>& write)>;
  void SetEditSink(EditSink sink) { sink_ = std::move(sink); }

  // Re-reads the store: recomputes every curve and redraws.
  void Reload();
  // Re-reads the channels of the mask only (bit c: channel c of the graph's
  // kind). During one of the graph's own edits the edited channel is left
  // out: the edit recomputes its one filter right after.
  void ReloadChannels(uint8_t mask);
  const GraphCurveSet& Curves() const { return *curves_; }

  // The decibel span shared by every graph: 30, 25, 20, 15, then 30 again.
  static int DecibelSpan();
  static void CycleZoom();

  // Where things are, for tests and for the editors' own hit tests.
  QRect PlotRect() const;
  QPoint HandleCentre(int filterIndex) const;
  QRect WidthHandle(int filterIndex, bool right) const;
  QString LabelText(int filterIndex) const;
  // The last off-screen frame, as copied to the screen.
  const QImage& Frame() const { return frame_.Image(); }

 signals:
  void filterEdited(int filterIndex, int viewMode);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  enum class Part { None, Handle, RightWidth, LeftWidth };

  void Show(bool output, int channel);
  void InitPlot();
  void Redraw();
  bool IsValidActive(int filterIndex) const;
  const CFilter* FilterAt(int filterIndex) const;
  Part PartOfSelected(const QPoint& at) const;
  int FilterUnder(const QPoint& at) const;
  void Hover(const QPoint& at);
  void Select(int filterIndex);

  void DragHandle(const QPoint& at);
  void DragWidth(const QPoint& at);
  void StepGain(int filterIndex, int codes);
  void StepFrequency(int filterIndex, int direction);
  void StepSectionHertz(int filterIndex, int hertz);
  int LimitBandFrequency(int filterIndex, int hertz) const;
  int LimitSectionFrequency(int filterIndex, int hertz) const;

  // Hands one record change to the sink, then recomputes, redraws, notifies.
  void WriteBand(int filterIndex, int hertz, int gainCode);
  void WriteWidth(int filterIndex, int widthCode);
  void WriteSection(int filterIndex, int hertz);
  void Apply(int filterIndex, const std::function<void(ParameterStore&)>& write);

  ParameterStore& store_;
  std::unique_ptr<GraphCurveSet> curves_;
  GraphFrame frame_;
  EditSink sink_;
  int mode_ = kInputView;
  int channel_ = 0;
  uint8_t shown_ = 0;
  int named_ = -1;
  int selected_ = -1;
  Part drag_ = Part::None;
  bool editing_ = false;  // inside Apply: the sink is running
  double grab_offset_ = 0;  // pointer x minus the dragged width anchor
  int wheel_ = 0;           // the wheel accumulator, -120..+120
  QPoint pointer_;
  bool pointer_inside_ = false;
};

}  // namespace veyra
