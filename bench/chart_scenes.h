#pragma once
// The charts the chart benchmarks paint, native and under Wine: the
// graduation page's plot (ten calibration points and the line through them)
// and a series of 100 000 points, straight or smooth.
#include <cmath>
#include <vector>

#include "controls/auto_panel.h"

namespace norvalt::bench {

struct GraduationScene {
    std::vector<double> concentration, area, lineX, lineY;

    GraduationScene()
    {
        for (int i = 0; i < 10; ++i) {
            double c = 0.01 * (i + 1);
            concentration.push_back(c);
            area.push_back(c * 1520.0 + ((i * 7) % 5 - 2) * 0.9);
            lineX.push_back(c);
            lineY.push_back(c * 1520.0);
        }
    }
    void configure(CAutoPanel& chart) const
    {
        chart.xTitle = u"Концентрация, %";
        chart.yTitle = u"Площадь, мВ·мин";
        CAutoSeries& points = chart.series[chart.addSeries()];
        points.count = 10;
        points.xValues = concentration.data();
        points.yValues = area.data();
        points.markerStyle = 1;
        points.lineMode = 0;
        points.colour = 0x0000C0;
        chart.updateSeries(points);
        CAutoSeries& line = chart.series[chart.addSeries()];
        line.count = 10;
        line.xValues = lineX.data();
        line.yValues = lineY.data();
        line.colour = 0x808000;
        chart.updateSeries(line);
    }
};

// A chromatogram-like signal: a baseline with noise and a few peaks.
struct DenseScene {
    std::vector<double> y;

    explicit DenseScene(int count = 100000) : y(count)
    {
        unsigned seed = 1;
        for (int i = 0; i < count; ++i) {
            seed = seed * 1103515245u + 12345u;
            double noise = static_cast<double>((seed >> 8) % 1000) / 1000.0 - 0.5;
            double t = static_cast<double>(i) / count;
            double peaks = 0;
            for (double at : {0.2, 0.35, 0.5, 0.8}) peaks += 40 * std::exp(-std::pow((t - at) / 0.004, 2));
            y[i] = 5 * std::sin(t * 20) + noise * 2 + peaks;
        }
    }
    void configure(CAutoPanel& chart, int lineMode) const
    {
        CAutoSeries& s = chart.series[chart.addSeries()];
        s.count = static_cast<int>(y.size());
        s.yValues = y.data();
        s.lineMode = lineMode;
        s.colour = 0x800000;
        chart.updateSeries(s);
    }
};

} // namespace norvalt::bench
