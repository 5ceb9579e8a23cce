// Signal theory for the course's panels: signals built from sinusoids, sampling and the aliases it
// produces, quantisation, noise and its smoothing, amplitude spectra, and the drawing of sampled
// signals on charts.
#pragma once

#include "content/toolkit/charts/Drawing.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// The curve of f from t0 to t1 at `points` evenly spaced points, for a chart's Series.
std::vector<QPointF> Trace(const std::function<double(double)>& f, double t0, double t1, int points);
// f at t0, t0 + step, ...: `count` samples.
std::vector<QPointF> Sample(const std::function<double(double)>& f, double t0, double step, int count);

// The Fourier series of a square wave of amplitude 1 and the given period, +1 over the first half of
// each period, summed up to and including harmonic `highest`: 4/pi * sum over odd k of sin(k w t) / k.
double SquareWaveSum(double t, double period, int highest);
// sin(pi x) / (pi x), 1 at 0.
double Sinc(double x);
// The amplitude spectrum of a rectangular pulse of height 1 and the given width: |width sinc(f width)|.
double PulseSpectrum(double frequency, double width);
// The frequency that a sinusoid of `frequency` shows once sampled `rate` times per unit: folded into
// the range 0 to rate / 2 (a sinusoid at or below half the rate keeps its own frequency).
double AliasFrequency(double frequency, double rate);

// A uniform quantiser of `bits` bits over [lo, hi]: the range is cut into 2^bits equal intervals; a
// value (clamped into the range) gets the number of its interval, 0 to 2^bits - 1, and a level stands
// for the centre of its interval, so the error never exceeds half an interval.
int QuantizeLevel(double value, double lo, double hi, int bits);
double LevelValue(int level, double lo, double hi, int bits);

// Normally distributed noise of mean 0 and standard deviation 1, a fixed function of index and seed.
double GaussianNoise(int index, uint32_t seed);
// The centred moving average over `width` samples (odd); near the ends the window keeps to the
// samples that exist.
std::vector<double> MovingAverage(std::span<const double> samples, int width);
// The ratio of the mean powers (mean squares) of a signal and of a noise, in decibels.
double SignalToNoiseDb(std::span<const double> signal, std::span<const double> noise);
// The single-sided amplitude spectrum of a record of samples by the discrete Fourier transform: entry
// k (0 to n / 2) is the amplitude of the component with k cycles over the record, so a sinusoid of
// amplitude A with a whole number k of cycles gives A at entry k; entry 0 is the mean.
std::vector<double> AmplitudeSpectrum(std::span<const double> samples);

// Samples on a chart drawn by DrawChart (its plot rectangle and layout): stems from zero with a dot.
void DrawStems(QPainter& p, const QRectF& plot, const ChartLayout& chart, std::span<const QPointF> samples,
               QColor colour, double radius = 3.5);
// A staircase holding each sample's value until the next sample, the last one for `lastHold`.
void DrawStaircase(QPainter& p, const QRectF& plot, const ChartLayout& chart,
                   std::span<const QPointF> samples, double lastHold, QColor colour, double width = 2);

// A white panel of the signal-theory series with its figure number and title in a band at the top;
// `top` receives the height of the band.
QImage SignalPanel(int width, int height, int figure, const QString& title, double& top);
// A formula or a short statement centred in a framed, lightly tinted box.
void DrawFormulaBox(QPainter& p, const QRectF& box, const QString& text, double fontPixels);
// Text anchored as DrawText does, on a white box that keeps it readable over curves and grid lines.
void DrawTag(QPainter& p, QPointF at, const QString& text, Qt::Alignment anchor, double fontPixels,
             QColor colour = Qt::black, bool bold = false);
// A key to the series of a chart, in rows of `columns` entries each `columnWidth` wide.
void DrawKey(QPainter& p, QPointF topLeft, std::span<const Series> lines, double fontPixels, int columns,
             double columnWidth);
