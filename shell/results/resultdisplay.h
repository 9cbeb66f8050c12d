// The result display of the shell: the result curves of the current result
// kind (computed when the kind changes, kept while the view changes), the
// reactions, the scale factor shown in the mode line, the valuator and the
// typed factor, the sampling step drawn by ResPrecision, and the result line
// of the member under the pointer. The redraw asks it for the result layer
// of the model drawing.
#pragma once

#include "results/envelope.h"
#include "results/resultset.h"

#include <string>

namespace ui {
class Toolkit;
}

namespace shell {

// The result layer of the next redraw: none outside the normal result mode.
// Samples the members anew when the kind or the results changed.
const results::ResultDrawing* resultDrawing();
// The results changed (a new analysis, cleared results): the next redraw
// samples again.
void invalidateResultCurves();
// Shows the current factor (diagram size / largest value, in display units
// for the forces) in the mode line's field and its unit.
void showResultFactor();
// Valuator position 0 < r <= 1: diagram size = r x limit, then redraw.
void setResultValuator(double r);
// A typed factor: diagram size = F x largest value, clamped; then redraw.
void setResultFactor(double F);
// ResPrecision: while a result kind is shown, asks for a line segment on the
// canvas whose length becomes the sampling step of the diagrams, then shows
// the kind again; right button cancels and keeps the step. False (nothing
// done) outside the result display or without a canvas.
bool startPrecisionStep();
// Fits the view to the frame widened by the diagrams and their value texts,
// which stand out from the members by up to the diagram size.
void fitViewToResults();
// The stored results as the envelope reads them, with the share sums of
// the pattern cases that the last analysis gathered.
results::EnvelopeInput& envelopeInput();
// Whether the envelope is what the results show now (not an influence line).
bool envelopeShown();
// The envelope of the shown kind and the index of a member in it (none
// when the envelope is not shown).
const results::Envelope* shownEnvelope();

// The result line of the member under the world point, "" for none.
std::string resultLineAt(double x, double y, double tolerance);

void bindResultDisplayActions(ui::Toolkit& tk);

} // namespace shell
