// The five load kinds as property blocks: nodal forces (on nodes), member end
// moments, uniform loads, linear loads and temperature variations (on
// members), each a ValueBlock of attrib/blocks.h whose values are indexed
// below. Also the parallelism rule of global linear loads and the test the
// drawing uses for loads too small to draw. Standard library and the
// attribute records only.
#pragma once

#include "attrib/blocks.h"

namespace attrib {

// Value indices of each kind, in stored order.
enum NodalForceValue { kFx = 0, kFy, kMz };
enum EndMomentValue { kMa = 0, kMb };
enum UniformLoadValue { kQx = 0, kQy };
enum LinearLoadValue { kPxi = 0, kPyi, kPxj, kPyj };
enum ThermalValue { kTyTop = 0, kTyBottom };

// Direction of distributed loads.
enum LoadDirection { kGlobal = 0, kLocal = 1 };

// How many values a load kind holds (0 for the other kinds).
int loadValueCount(int kind);

// Parallelism of a global linear load: the end vector (Pxj, Pyj) stays
// parallel to the start vector (Pxi, Pyi). `prefer` is the component just
// edited (0 x, 1 y) or -1 after switching to global. A local block is left
// alone.
void keepLinearLoadParallel(ValueBlock& b, int prefer);

// Whether a load draws nothing: every value of its kind below the drawing
// threshold in absolute value.
constexpr double kLoadDrawThreshold = 0.005;
bool loadIsNegligible(const ValueBlock& b, int kind);

} // namespace attrib
