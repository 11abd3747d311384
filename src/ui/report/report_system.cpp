#include "report/report_system.hpp"

#include <QFontMetricsF>
#include <QPainter>

#include "curves/system_plot.hpp"
#include "report/report_sections.hpp"
#include "state/device_text.hpp"

namespace veyra::report {
namespace {

constexpr double kPlotHeight = 380;
constexpr double kLegendHeight = 16;

uint8_t AllOutputs(int outputs) {
  return static_cast<uint8_t>((1u << outputs) - 1);
}

QString OutputName(const ParameterStore& records, int output) {
  const QString name = QString::fromStdString(DecodeField(records.Outputs[output].Name));
  const QString number = QString("OUT %1").arg(output + 1);
  // A channel that keeps its default name is not named twice.
  return name.isEmpty() || name == number ? number : number + " " + name;
}

}  // namespace

std::vector<int> SystemInputs(const ParameterStore& records, int inputs, int outputs) {
  std::vector<int> chosen;
  SystemResponse system;
  system.Attach(records.Inputs, records.Outputs);
  for (int input = 0; input < inputs; ++input) {
    system.Select(input, AllOutputs(outputs));
    if (system.PresentCount() >= 2) chosen.push_back(input);
  }
  return chosen;
}

void PlaceSystemResponses(Flow& flow, const std::shared_ptr<ParameterStore>& records, int inputs, int outputs,
                          int number) {
  const std::vector<int> chosen = SystemInputs(*records, inputs, outputs);
  if (chosen.empty()) return;
  bool first = true;
  for (const int input : chosen) {
    flow.NewPage();
    auto system = std::make_shared<SystemResponse>();
    system->Attach(records->Inputs, records->Outputs);
    system->Select(input, AllOutputs(outputs));
    const std::string name = DecodeField(records->Inputs[input].Name);
    QString title = QString("%1  System response of IN %2").arg(number).arg(QChar('A' + input));
    if (!name.empty()) title += " " + QString::fromStdString(name);
    PlaceHeading(flow, title, kPlotHeight + 60);
    if (first) {
      PlaceNote(flow,
                "Each output the input reaches (thin) and their sum as the listener hears it (thick): gains, "
                "polarities, EQ, crossovers and delays of both channels; dynamics left out.");
      first = false;
    }
    QString absent;
    for (int k = 0; k < outputs; ++k) {
      if (system->Considered(k) && !system->Present(k) && system->Absence(k) != PathAbsence::NotRouted)
        absent += QString("%1%2: %3")
                      .arg(absent.isEmpty() ? "" : "; ", OutputName(*records, k),
                           QString::fromStdString(AbsenceText(system->Absence(k), input)));
    }
    if (!absent.isEmpty()) PlaceNote(flow, "Not in the sum: " + absent + ".");
    flow.Place(kLegendHeight, [system, records, outputs](QPainter& p, const QRectF& r) {
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setFont(Font(8));
      double x = r.left();
      const auto entry = [&](const QPen& pen, const QString& text) {
        p.setPen(pen);
        p.drawLine(QPointF(x, r.center().y()), QPointF(x + 24, r.center().y()));
        p.setPen(kInk);
        p.drawText(QRectF(x + 28, r.top(), 200, r.height()), Qt::AlignLeft | Qt::AlignVCenter, text);
        x += 28 + QFontMetricsF(p.font(), p.device()).horizontalAdvance(text) + 16;
      };
      for (int k = 0; k < outputs; ++k) {
        if (!system->Present(k)) continue;
        QPen pen(PathColour(k, GraphStyle::Print), 1.0);
        pen.setDashPattern({4.0 + k, 2.0 + (k % 3)});
        entry(pen, OutputName(*records, k));
      }
      entry(QPen(Qt::black, 2.6), "Sum");
    });
    flow.Place(kPlotHeight, [system](QPainter& p, const QRectF& r) {
      SystemPicture picture;
      picture.Style = GraphStyle::Print;
      PaintSystemResponse(p, r.toRect(), *system, picture);
    });
  }
}

}  // namespace veyra::report
