#pragma once

#include "link/channel_reading.h"

#include <QByteArray>

class Chart;
class Run;
struct SampleBatch;

// A sample of a run at `days` on the chart's time, as a chart window draws it: a point per
// series, the time axis kept ahead of it.
void plotSample(Chart &chart, const ChannelReading &sample, double days);
// The same for rows read in one piece.
void plotSamples(Chart &chart, const SampleBatch &rows);
// The value axes around the points, as a chart window keeps them.
void rescaleChart(Chart &chart);
// The picture Copy makes of a chart window that shows the whole of `run`, for a run that no
// window shows.
QByteArray runChartSvg(const Run &run);
