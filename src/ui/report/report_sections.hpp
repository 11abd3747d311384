// The sections of the installation report, each laid out into a flow: the
// channel settings as the Data View shows them, the routing matrix, the
// channel groups and the response graphs.
#pragma once

#include <QString>
#include <memory>

#include "files/data_table.hpp"
#include "groups/channel_kind.hpp"
#include "report/report_flow.hpp"

namespace veyra::report {

// A section heading, kept on one page with the first `following` points of
// what comes after it.
void PlaceHeading(Flow& flow, const QString& title, double following);
// A short paragraph in the muted ink.
void PlaceNote(Flow& flow, const QString& text);

// The data table as it stands: the header (input names, "OUT 1".."OUT n")
// under the bands "Inputs" and "Outputs", then every row, caption first.
void PlaceSettingsTable(Flow& flow, const DataTable& table);
// Inputs down, outputs across, a mark where an output takes an input.
void PlaceRoutingMatrix(Flow& flow, const ParameterStore& records, int inputs, int outputs);
// The eight groups of the kind: name, members and the link flags the model's
// group editor shows, with its captions.
void PlaceGroups(Flow& flow, const ParameterStore& records, ChannelKind kind, int model);
// The legend of the response graphs' curves.
void PlaceGraphLegend(Flow& flow);
// One response graph per channel of the kind, the editors' graph in its print
// style. records must hold the channels in its live records.
void PlaceResponseGraphs(Flow& flow, const std::shared_ptr<ParameterStore>& records, ChannelKind kind,
                         int count);

}  // namespace veyra::report
