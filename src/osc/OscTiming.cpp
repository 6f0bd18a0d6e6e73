#include "osc/OscTiming.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct TCrossing {
  double Time; // in samples, fractional
  bool Rising;
};

// Where the signal passes Level between samples J and J + 1 (J's value on one
// side of Level, J + 1's on the other or on it).
double Passing(const double* L, int J, double Level) {
  return J + (Level - L[J]) / (L[J + 1] - L[J]);
}

// The crossings of the mid-level, alternating in direction.
std::vector<TCrossing> Crossings(const double* L, int Count, double Mid, double Hysteresis) {
  std::vector<TCrossing> Result;
  const double Upper = Mid + Hysteresis;
  const double Lower = Mid - Hysteresis;
  int State = 0;   // -1 low, +1 high, 0 not yet known
  int Settled = 0; // the last index at which the signal was firmly in State
  for (int I = 0; I < Count; ++I) {
    const double V = L[I];
    if (V >= Upper) {
      if (State < 0) {
        // The last passing of the mid-level on the way up.
        int J = I - 1;
        while (J > Settled && !(L[J] < Mid))
          --J;
        Result.push_back({Passing(L, J, Mid), true});
      }
      State = 1;
      Settled = I;
    } else if (V <= Lower) {
      if (State > 0) {
        int J = I - 1;
        while (J > Settled && !(L[J] > Mid))
          --J;
        Result.push_back({Passing(L, J, Mid), false});
      }
      State = -1;
      Settled = I;
    }
  }
  return Result;
}

// The 10 % to 90 % time of the edge of crossing K, in samples, or NaN when
// either point lies beyond the neighbouring crossings (or the buffer).
double EdgeTime(const double* L, int Count, const std::vector<TCrossing>& C, std::size_t K,
                double Low10, double High90) {
  const bool Rising = C[K].Rising;
  // Where the edge starts and ends: its level before and after, seen from
  // the direction of travel.
  const double Start = Rising ? Low10 : High90;
  const double End = Rising ? High90 : Low10;
  const auto Before = [Rising](double V, double Level) { return Rising ? V <= Level : V >= Level; };
  const auto After = [Rising](double V, double Level) { return Rising ? V >= Level : V <= Level; };

  const int From = K > 0 ? static_cast<int>(std::ceil(C[K - 1].Time)) : 0;
  const int To = K + 1 < C.size() ? static_cast<int>(std::floor(C[K + 1].Time)) : Count - 1;
  int J = static_cast<int>(std::floor(C[K].Time));
  while (J >= From && !Before(L[J], Start))
    --J;
  int M = static_cast<int>(std::ceil(C[K].Time));
  while (M <= To && !After(L[M], End))
    ++M;
  if (J < From || M > To)
    return TOscTiming::CNone;
  return Passing(L, M - 1, End) - Passing(L, J, Start);
}

double Mean(const std::vector<double>& Values) {
  if (Values.empty())
    return TOscTiming::CNone;
  double Sum = 0;
  for (double V : Values)
    Sum += V;
  return Sum / static_cast<double>(Values.size());
}

} // namespace

TOscTiming OscTimingOf(const double* Levels, int Count, double Hysteresis, double SamplePeriod) {
  TOscTiming R;
  if (Count < 2)
    return R;
  const auto Range = std::minmax_element(Levels, Levels + Count);
  const double Low = *Range.first;
  const double High = *Range.second;
  // Flat (or not finite): nothing crosses, nothing to time.
  if (!(High - Low > 2 * Hysteresis) || !std::isfinite(High - Low))
    return R;
  const double Mid = Low + (High - Low) / 2;
  const std::vector<TCrossing> C = Crossings(Levels, Count, Mid, Hysteresis);

  std::vector<double> Rising, Falling, PosWidths, NegWidths, Rises, Falls;
  const double Low10 = Low + 0.1 * (High - Low);
  const double High90 = Low + 0.9 * (High - Low);
  for (std::size_t K = 0; K < C.size(); ++K) {
    (C[K].Rising ? Rising : Falling).push_back(C[K].Time);
    if (K > 0)
      (C[K].Rising ? NegWidths : PosWidths).push_back(C[K].Time - C[K - 1].Time);
    const double Edge = EdgeTime(Levels, Count, C, K, Low10, High90);
    if (!std::isnan(Edge))
      (C[K].Rising ? Rises : Falls).push_back(Edge);
  }

  // In samples first: the duty needs no sample period.
  const std::vector<double>& Cycles = Rising.size() >= Falling.size() ? Rising : Falling;
  const double Period =
      Cycles.size() >= 2 ? (Cycles.back() - Cycles.front()) / static_cast<double>(Cycles.size() - 1)
                         : TOscTiming::CNone;
  const double PosWidth = Mean(PosWidths);
  R.Period = Period * SamplePeriod;
  R.Frequency = 1 / R.Period;
  R.Duty = 100 * PosWidth / Period;
  R.PosWidth = PosWidth * SamplePeriod;
  R.NegWidth = Mean(NegWidths) * SamplePeriod;
  R.Rise = Mean(Rises) * SamplePeriod;
  R.Fall = Mean(Falls) * SamplePeriod;
  return R;
}
